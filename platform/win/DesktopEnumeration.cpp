// What the automation channel sees of the windows, and how it waits for them.
#include "platform/win/ChangeNotifier.h"
#include "platform/win/Desktop.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/RectMath.h"
#include "platform/win/WindowClasses.h"
#include "platform/win/WindowRegistry.h"

namespace platform::desktop {
namespace {

using namespace platform::win;

WindowInfo InfoLocked(const Window& w) {
    const POINT origin = ScreenOriginLocked(w);
    return WindowInfo{w.handle,
                      w.parent,
                      w.owner,
                      w.windowClass->name,
                      w.text,
                      static_cast<int>(w.id),
                      w.style,
                      w.exStyle,
                      IsVisibleLocked(w),
                      w.enabledStyle(),
                      w.queue->focus == w.handle,
                      w.modalLoops > 0,
                      Offset(w.clientRect(), origin.x, origin.y),
                      w.queue->threadId()};
}

} // namespace

std::vector<WindowInfo> EnumerateTopLevels() {
    std::vector<WindowInfo> out;
    auto lock = LockWindows();
    const auto& z = WindowRegistry::Get().zOrder();
    for (auto it = z.rbegin(); it != z.rend(); ++it) {
        if (const Window* w = FindWindowLocked(*it)) {
            out.push_back(InfoLocked(*w));
        }
    }
    return out;
}

std::vector<WindowInfo> EnumerateChildren(HWND parent) {
    std::vector<WindowInfo> out;
    auto lock = LockWindows();
    const auto subtree = SubtreeLocked(parent);
    for (std::size_t i = 1; i < subtree.size(); ++i) {
        if (const Window* w = FindWindowLocked(subtree[i])) {
            out.push_back(InfoLocked(*w));
        }
    }
    return out;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    return WaitForState(condition, timeout);
}

bool WaitUntilIdle(std::chrono::milliseconds timeout) {
    return WaitForState(
        [] {
            auto lock = LockWindows();
            bool idle = true;
            WindowRegistry::Get().forEach([&](const Window& w) { idle = idle && w.queue->idle(); });
            return idle;
        },
        timeout);
}

} // namespace platform::desktop
