// A plain dialog run modally on a window thread of its own, whose procedure logs what its controls tell
// it (WM_COMMAND, WM_NOTIFY as id and code, WM_HSCROLL) and how often it paints. IDOK and IDCANCEL end it.
#pragma once

#include "tests/controls/UiTestSupport.h"

#include <memory>

namespace lullwatch::test {

class DialogHarness {
public:
    explicit DialogHarness(const DLGTEMPLATE* tmpl) {
        platform::controls::RegisterControlClasses();
        thread_ = std::make_unique<UiThread>([this, tmpl] {
            result = DialogBoxIndirectParam(nullptr, tmpl, nullptr, &DialogHarness::Proc,
                                            reinterpret_cast<LPARAM>(this));
        });
        Eventually([this] { return dialog.load() != nullptr && IsWindowVisible(dialog.load()); });
    }
    ~DialogHarness() { Finish(); }

    void Finish() {
        if (const HWND d = dialog.load(); d && IsWindow(d)) {
            EndDialog(d, IDCANCEL);
        }
        thread_->join();
    }

    // Waits for the dialog to end by itself and returns its result (-2 if it did not end in time).
    INT_PTR Outcome() {
        Eventually([this] { return result.load() != -2; });
        Finish();
        return result.load();
    }

    HWND Item(int id) const { return GetDlgItem(dialog.load(), id); }

    std::size_t Notifications(UINT_PTR id, UINT code) const {
        return log.count([&](const MessageLog::Entry& e) {
            return e.message == WM_NOTIFY && e.wParam == id && static_cast<UINT>(e.lParam) == code;
        });
    }
    std::size_t Paints() const {
        return log.count([](const MessageLog::Entry& e) { return e.message == WM_PAINT; });
    }

    MessageLog log;
    std::atomic<HWND> dialog{nullptr};
    std::atomic<INT_PTR> result{-2};

private:
    static INT_PTR Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtr(hwnd, DWL_USER, lParam);
            reinterpret_cast<DialogHarness*>(lParam)->dialog = hwnd;
            return TRUE;
        }
        auto* self = reinterpret_cast<DialogHarness*>(GetWindowLongPtr(hwnd, DWL_USER));
        if (!self) {
            return FALSE;
        }
        switch (message) {
        case WM_COMMAND:
            self->log.add(message, wParam, lParam);
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(hwnd, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            self->log.add(message, header->idFrom, static_cast<LPARAM>(header->code));
            return FALSE;
        }
        case WM_HSCROLL:
        case WM_PAINT:
            self->log.add(message, wParam, lParam);
            return FALSE;
        default:
            return FALSE;
        }
    }

    std::unique_ptr<UiThread> thread_;
};

} // namespace lullwatch::test
