// Modal dialogs: the modal loop, EndDialog, and the routing of a thread's messages to its dialogs.
#include "platform/win/ChangeNotifier.h"
#include "platform/win/DialogManager.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/ThreadContext.h"
#include "platform/win/WindowRegistry.h"

namespace platform::win {
namespace {

void CountModalLoop(HWND dialog, int delta) {
    {
        auto lock = LockWindows();
        if (Window* d = FindWindowLocked(dialog)) {
            d->modalLoops += delta;
        }
    }
    NotifyStateChanged();
}

void RunModalLoop(HWND dialog, const ModalState& modal) {
    MSG msg{};
    while (!modal.ended.load(std::memory_order_acquire) && IsWindow(dialog)) {
        const BOOL got = GetMessage(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // leave the quit request to the outer loop
            break;
        }
        if (got < 0) {
            break;
        }
        if (CallMsgFilter(&msg, MSGF_DIALOGBOX)) {
            continue;
        }
        if (!RouteToDialog(msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
}

HWND TopLevelHandle(HWND hwnd) {
    auto lock = LockWindows();
    const Window* top = TopLevelOf(FindWindowLocked(hwnd));
    return top ? top->handle : nullptr;
}

} // namespace

bool RouteToDialog(MSG& msg) {
    HWND dialog = nullptr;
    {
        auto lock = LockWindows();
        const Window* top = TopLevelOf(FindWindowLocked(msg.hwnd));
        if (!top || !top->dialog || !IsCurrentThread(*top->queue)) {
            return false;
        }
        dialog = top->handle;
    }
    return IsDialogMessage(dialog, &msg) != FALSE;
}

} // namespace platform::win

using namespace platform::win;

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                               LPARAM init) {
    const HWND owner = parent ? TopLevelHandle(parent) : nullptr;
    const auto modal = std::make_shared<ModalState>();
    const HWND dialog = CreateDialogFromTemplate(instance, tmpl, owner, proc, init, modal);
    if (!dialog) {
        return -1;
    }
    const bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner) {
        EnableWindow(owner, FALSE);
    }
    CountModalLoop(dialog, +1);
    if (!modal->ended.load(std::memory_order_acquire) && !IsWindowVisible(dialog)) {
        ShowWindow(dialog, SW_SHOWNORMAL);
    }
    RunModalLoop(dialog, *modal);
    CountModalLoop(dialog, -1);
    if (disabledOwner) {
        EnableWindow(owner, TRUE);
    }
    if (IsWindow(dialog)) {
        DestroyWindow(dialog);
    }
    return modal->result.load(std::memory_order_acquire);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    std::shared_ptr<ModalState> modal;
    bool ownThread = false;
    {
        auto lock = LockWindows();
        const Window* d = FindWindowLocked(dialog);
        if (!d || !d->dialog) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        modal = d->dialog->modal;
        ownThread = IsCurrentThread(*d->queue);
    }
    if (modal) {
        modal->result.store(result, std::memory_order_release);
        modal->ended.store(true, std::memory_order_release);
        PostMessage(dialog, WM_NULL, 0, 0); // the modal loop may be waiting for a message
    }
    if (ownThread) {
        ShowWindow(dialog, SW_HIDE);
    }
    return TRUE;
}
