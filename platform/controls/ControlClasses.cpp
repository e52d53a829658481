#include "platform/controls/ControlClasses.h"

#include "platform/controls/ControlProcs.h"

#include <mutex>

namespace platform::controls {

void RegisterControlClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterButtonClass();
        RegisterEditClass();
        RegisterStaticClass();
        RegisterProgressClass();
        RegisterTrackbarClass();
    });
}

void NotifyParent(HWND control, WORD code) {
    const HWND parent = GetParent(control);
    if (parent) {
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code),
                    reinterpret_cast<LPARAM>(control));
    }
}

std::optional<LRESULT> CommonControlMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, HFONT* font) {
    switch (msg) {
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_SETFONT:
        if (font) {
            *font = reinterpret_cast<HFONT>(wParam);
            if (lParam) {
                InvalidateRect(hwnd, nullptr, FALSE);
            }
        }
        return 0;
    case WM_GETFONT:
        return font ? reinterpret_cast<LRESULT>(*font) : 0;
    case WM_SETTEXT: {
        const LRESULT stored = DefWindowProc(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return stored;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        return std::nullopt;
    }
}

} // namespace platform::controls
