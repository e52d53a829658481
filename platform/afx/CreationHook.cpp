#include "platform/afx/CreationHook.h"

#include "platform/afx/CWnd.h"

namespace platform::afx {
namespace {

struct PendingCreation {
    HHOOK hook = nullptr;
    CWnd* wnd = nullptr;
};

thread_local PendingCreation t_pending;

LRESULT CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    PendingCreation& pending = t_pending;
    const HHOOK hook = pending.hook;
    const LRESULT next = CallNextHookEx(hook, code, wParam, lParam);
    if (code == HCBT_CREATEWND && pending.wnd) {
        CWnd* wnd = pending.wnd;
        pending.wnd = nullptr;
        UnhookWindowCreate();
        wnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return next;
}

} // namespace

void HookWindowCreate(CWnd* wnd) {
    UnhookWindowCreate();
    t_pending.wnd = wnd;
    t_pending.hook = SetWindowsHookEx(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

void UnhookWindowCreate() {
    if (t_pending.hook) {
        UnhookWindowsHookEx(t_pending.hook);
    }
    t_pending = PendingCreation{};
}

} // namespace platform::afx
