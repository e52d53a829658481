// GetMessage, PeekMessage and DispatchMessage: taking messages out of the calling thread's queue in the
// device's order (sent, posted, quit, paint, timer) and handing them to window and timer procedures.
#include "platform/win/Clock.h"
#include "platform/win/Messaging.h"
#include "platform/win/Painting.h"
#include "platform/win/ThreadContext.h"
#include "platform/win/WindowRegistry.h"

namespace platform::win {
namespace {

const HWND kOnlyThreadMessages = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));

bool BuildFilter(HWND hwnd, UINT first, UINT last, MessageFilter& filter) {
    filter.first = first;
    filter.last = last;
    if (!hwnd) {
        return true;
    }
    if (hwnd == kOnlyThreadMessages) {
        filter.windows = MessageFilter::Windows::OnlyNone;
        return true;
    }
    auto lock = LockWindows();
    if (!FindWindowLocked(hwnd)) {
        return false;
    }
    filter.windows = MessageFilter::Windows::These;
    filter.these = SubtreeLocked(hwnd);
    return true;
}

void NoteKeyState(MessageQueue& queue, const MSG& msg) {
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam < queue.keysDown.size()) {
        queue.keysDown[msg.wParam] = msg.message == WM_KEYDOWN;
    }
}

// One retrieval; `wait` makes it block until a message is there.
bool Retrieve(MSG& out, const MessageFilter& filter, bool remove, bool wait) {
    const auto queue = CurrentQueue();
    for (;;) {
        const auto seen = queue->events();
        ProcessIncoming(*queue);
        if (queue->takePosted(out, filter, remove)) {
            if (remove) {
                NoteKeyState(*queue, out);
            }
            return true;
        }
        if (queue->takeQuit(out, filter, remove)) {
            return true;
        }
        if (filter.acceptsMessage(WM_PAINT)) {
            if (const HWND hwnd = FindWindowToPaint(*queue, filter)) {
                out = MSG{hwnd, WM_PAINT, 0, 0, GetTickCount(), POINT{0, 0}};
                return true;
            }
        }
        if (queue->takeTimer(out, filter, remove, Clock::NowMs())) {
            return true;
        }
        if (!wait) {
            return false;
        }
        queue->waitForEvents(seen);
    }
}

} // namespace
} // namespace platform::win

using namespace platform::win;

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    MessageFilter filter;
    if (!msg || !BuildFilter(hwnd, filterMin, filterMax, filter)) {
        SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return -1;
    }
    Retrieve(*msg, filter, true, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) {
    MessageFilter filter;
    if (!msg || !BuildFilter(hwnd, filterMin, filterMax, filter)) {
        SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Retrieve(*msg, filter, (remove & PM_REMOVE) != 0, false) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        const auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        // Only a procedure of a timer that still runs on this thread is called: a posted WM_TIMER with
        // a made-up lParam, or one for a timer killed meanwhile, does nothing.
        const auto queue = CurrentQueue();
        if (queue->hasTimer(msg->hwnd, msg->wParam, proc)) {
            proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        }
        return 0;
    }
    if (!msg->hwnd) {
        return 0;
    }
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(msg->hwnd);
        if (!w || !IsCurrentThread(*w->queue)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
    }
    return CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

short GetKeyState(int vk) {
    const auto queue = CurrentQueueIfAny();
    if (!queue || vk < 0 || static_cast<std::size_t>(vk) >= queue->keysDown.size()) {
        return 0;
    }
    return queue->keysDown[static_cast<std::size_t>(vk)] ? static_cast<short>(0x8000) : 0;
}
