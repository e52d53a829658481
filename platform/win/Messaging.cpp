#include "platform/win/Messaging.h"

#include "platform/win/ThreadContext.h"
#include "platform/win/WindowClasses.h"
#include "platform/win/WindowRegistry.h"

#include <algorithm>
#include <string>
#include <vector>

namespace platform::win {
namespace {

struct StandInMessage {
    std::wstring className;
    UINT message;
};

// Guarded by the window lock.
std::vector<StandInMessage>& StandInMessages() {
    static auto* list = new std::vector<StandInMessage>; // never destroyed: threads may send during exit
    return *list;
}

bool MayStandIn(const Window& w, UINT msg) {
    if (!w.windowClass) {
        return false;
    }
    const auto& list = StandInMessages();
    return std::any_of(list.begin(), list.end(), [&](const StandInMessage& m) {
        return m.message == msg && m.className == w.windowClass->name;
    });
}

} // namespace

void AllowStandIn(const wchar_t* className, UINT msg) {
    auto lock = LockWindows();
    StandInMessages().push_back(StandInMessage{className, msg});
}

LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            return 0;
        }
        proc = w->proc;
    }
    return proc ? proc(hwnd, msg, wParam, lParam) : DefWindowProc(hwnd, msg, wParam, lParam);
}

void ProcessIncoming(MessageQueue& queue) {
    while (const auto item = queue.nextIncoming()) {
        if (item->task) {
            item->task();
            continue;
        }
        bool ours = false;
        {
            auto lock = LockWindows();
            const Window* w = FindWindowLocked(item->hwnd);
            ours = w && w->queue.get() == &queue;
        }
        const LRESULT result =
            ours ? CallProcedure(item->hwnd, item->message, item->wParam, item->lParam) : 0;
        item->sender->complete(*item, result);
    }
}

bool RunOnWindowThread(HWND hwnd, std::function<void()> task) {
    std::shared_ptr<MessageQueue> owner;
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            return false;
        }
        owner = w->queue;
    }
    if (IsCurrentThread(*owner)) {
        task();
        return true;
    }
    auto item = std::make_shared<SentMessage>();
    item->task = std::move(task);
    return owner->send(item);
}

} // namespace platform::win

using namespace platform::win;

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<MessageQueue> owner;
    bool mayStandIn = false;
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        owner = w->queue;
        mayStandIn = MayStandIn(*w, msg);
    }
    if (IsCurrentThread(*owner)) {
        return CallProcedure(hwnd, msg, wParam, lParam);
    }
    if (mayStandIn && owner->lend()) {
        LRESULT result = 0;
        {
            const StandIn asOwner(owner);
            result = CallProcedure(hwnd, msg, wParam, lParam);
        }
        owner->giveBack();
        return result;
    }
    const auto self = CurrentQueue();
    auto item = std::make_shared<SentMessage>();
    item->hwnd = hwnd;
    item->message = msg;
    item->wParam = wParam;
    item->lParam = lParam;
    item->sender = self;
    if (!owner->send(item)) {
        return 0; // the owner thread has ended
    }
    for (;;) {
        ProcessIncoming(*self);
        if (self->waitForReply(*item)) {
            return item->result;
        }
    }
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!hwnd) {
        return PostThreadMessage(GetCurrentThreadId(), msg, wParam, lParam);
    }
    std::shared_ptr<MessageQueue> owner;
    POINT cursor{};
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        owner = w->queue;
        cursor = WindowRegistry::Get().cursor;
    }
    return owner->post(MSG{hwnd, msg, wParam, lParam, GetTickCount(), cursor}) ? TRUE : FALSE;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto queue = threadId == GetCurrentThreadId() ? CurrentQueue() : QueueOfThread(threadId);
    if (!queue || !queue->post(MSG{nullptr, msg, wParam, lParam, GetTickCount(), POINT{0, 0}})) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    CurrentQueue()->postQuit(exitCode);
}
