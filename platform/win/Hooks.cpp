#include "platform/win/Hooks.h"

#include "platform/win/ThreadContext.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace platform::win {
namespace {

struct Hook {
    HHOOK handle;
    DWORD threadId;
    int type; // WH_CBT or WH_MSGFILTER
    HOOKPROC proc;
};

struct HookTable {
    std::mutex mutex;
    std::vector<Hook> hooks; // oldest first
    std::uintptr_t next = 0x20000;
};

HookTable& Table() {
    static auto* table = new HookTable; // never destroyed: threads end after static destruction
    return *table;
}

// The type of the hook `hook` (0 when there is none).
int TypeOf(HHOOK hook) {
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    for (const Hook& h : t.hooks) {
        if (h.handle == hook) {
            return h.type;
        }
    }
    return 0;
}

// The hook of `type` after `after` in the calling thread's chain of that type (newest first); the newest
// when `after` is null.
HOOKPROC NextHook(int type, HHOOK after, HHOOK* handle) {
    const DWORD thread = CurrentThreadId();
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    bool passed = after == nullptr;
    for (auto it = t.hooks.rbegin(); it != t.hooks.rend(); ++it) {
        if (it->threadId != thread || it->type != type) {
            continue;
        }
        if (passed) {
            *handle = it->handle;
            return it->proc;
        }
        passed = it->handle == after;
    }
    return nullptr;
}

} // namespace

LRESULT CallCbtHook(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK handle = nullptr;
    const HOOKPROC proc = NextHook(WH_CBT, nullptr, &handle);
    return proc ? proc(code, wParam, lParam) : 0;
}

void RemoveHooksOfThread(DWORD threadId) {
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    std::erase_if(t.hooks, [&](const Hook& h) { return h.threadId == threadId; });
}

} // namespace platform::win

using namespace platform::win;

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId) {
    if ((idHook != WH_CBT && idHook != WH_MSGFILTER) || !proc ||
        (threadId != 0 && threadId != CurrentThreadId())) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    const HHOOK handle = reinterpret_cast<HHOOK>(t.next);
    t.next += 2;
    t.hooks.push_back(Hook{handle, CurrentThreadId(), idHook, proc});
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    const auto before = t.hooks.size();
    std::erase_if(t.hooks, [&](const Hook& h) { return h.handle == hook; });
    if (t.hooks.size() == before) {
        SetLastError(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    HHOOK handle = nullptr;
    const HOOKPROC proc = NextHook(TypeOf(hook), hook, &handle);
    return proc ? proc(code, wParam, lParam) : 0;
}

BOOL CallMsgFilter(MSG* msg, int code) {
    HHOOK handle = nullptr;
    const HOOKPROC proc = NextHook(WH_MSGFILTER, nullptr, &handle);
    return proc && proc(code, 0, reinterpret_cast<LPARAM>(msg)) != 0 ? TRUE : FALSE;
}
