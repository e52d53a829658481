// The desktop: screen layout, turning the screen, the visible stack of top-level windows, the foreground
// window, the change listener and the soft-key registry.
#include "platform/win/Desktop.h"

#include "platform/win/ChangeNotifier.h"
#include "platform/win/DialogScroll.h"
#include "platform/win/Messaging.h"
#include "platform/win/RectMath.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowRegistry.h"

#include <map>
#include <mutex>

namespace platform::desktop {
namespace {

using platform::win::FindWindowLocked;
using platform::win::LockWindows;
using platform::win::Window;
using platform::win::WindowRegistry;

struct SoftKeyTable {
    std::mutex mutex;
    std::map<HWND, SoftKeys> byWindow;
};

SoftKeyTable& SoftKeyRegistry() {
    static auto* table = new SoftKeyTable; // never destroyed: windows may go during exit
    return *table;
}

// Resizes a full-screen window to the current work area; runs on the window's own thread.
void FollowWorkArea(HWND hwnd) {
    RECT workArea{};
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w || !w->fullScreen) {
            return;
        }
        workArea = WindowRegistry::Get().workArea();
    }
    MoveWindow(hwnd, workArea.left, workArea.top, platform::win::Width(workArea),
               platform::win::Height(workArea), TRUE);
    auto lock = LockWindows();
    if (Window* w = FindWindowLocked(hwnd)) {
        platform::win::ScrollToLocked(*w, w->scrollY); // less or nothing left to scroll after a turn
    }
}

RECT SoftKeyBar() {
    auto lock = LockWindows();
    const auto& r = WindowRegistry::Get();
    return RECT{0, r.screenHeight - kSoftKeyBarHeight, r.screenWidth, r.screenHeight};
}

} // namespace

ScreenLayout Layout() {
    auto lock = LockWindows();
    const auto& r = WindowRegistry::Get();
    return ScreenLayout{r.screenWidth, r.screenHeight, r.workArea()};
}

void SetScreenSize(int width, int height) {
    std::vector<HWND> fullScreen;
    {
        auto lock = LockWindows();
        auto& r = WindowRegistry::Get();
        r.screenWidth = std::max(0, width);
        r.screenHeight = std::max(0, height);
        for (const HWND top : r.zOrder()) {
            const Window* w = r.find(top);
            if (w && w->fullScreen) {
                fullScreen.push_back(top);
            }
        }
    }
    for (const HWND hwnd : fullScreen) {
        platform::win::RunOnWindowThread(hwnd, [hwnd] { FollowWorkArea(hwnd); });
    }
    platform::win::NotifyScreenChanged(RECT{0, 0, std::max(0, width), std::max(0, height)});
}

void SetFullScreen(HWND topLevel, bool fullScreen) {
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(topLevel);
        if (!w || w->parent) {
            return;
        }
        w->fullScreen = fullScreen;
    }
    if (fullScreen) {
        platform::win::RunOnWindowThread(topLevel, [topLevel] { FollowWorkArea(topLevel); });
    }
}

std::vector<TopLevelView> VisibleTopLevels() {
    std::vector<TopLevelView> views;
    auto lock = LockWindows();
    const auto& r = WindowRegistry::Get();
    for (const HWND top : r.zOrder()) {
        const Window* w = r.find(top);
        if (w && w->visibleStyle()) {
            views.push_back(TopLevelView{top, w->rect, w->surface, w->text, w->modalLoops > 0,
                                         w->enabledStyle(), w->queue->threadId()});
        }
    }
    return views;
}

HWND ForegroundWindow() {
    auto lock = LockWindows();
    const auto& r = WindowRegistry::Get();
    const auto& z = r.zOrder();
    for (auto it = z.rbegin(); it != z.rend(); ++it) {
        const Window* w = r.find(*it);
        if (w && w->visibleStyle() && w->enabledStyle()) {
            return *it;
        }
    }
    return nullptr;
}

void SetChangeListener(ChangeListener listener) {
    platform::win::SetScreenListener(std::move(listener));
}

void SetSoftKeys(HWND topLevel, HWND menuBar, const std::wstring& left, const std::wstring& right) {
    auto& t = SoftKeyRegistry();
    {
        std::lock_guard lock(t.mutex);
        std::erase_if(t.byWindow, [](const auto& entry) { return !IsWindow(entry.first); });
        t.byWindow[topLevel] = SoftKeys{menuBar, left, right};
    }
    platform::win::NotifyScreenChanged(SoftKeyBar());
}

SoftKeys SoftKeysOf(HWND topLevel) {
    auto& t = SoftKeyRegistry();
    std::lock_guard lock(t.mutex);
    const auto it = t.byWindow.find(topLevel);
    if (it == t.byWindow.end() || !IsWindow(topLevel)) {
        return SoftKeys{nullptr, L"", L""};
    }
    return it->second;
}

} // namespace platform::desktop
