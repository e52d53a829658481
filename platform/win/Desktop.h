// The desktop as the front-ends and the automation channel see it: the phone screen's geometry, the
// visible top-level windows in z-order with their pixels, and the one input path by which clicks, keys
// and typed text reach the windows. Nothing here is for the program's own code.
//
// Screen layout: a caption bar at the top and the soft-key bar at the bottom are drawn by the compositor;
// top-level windows live in the work area between them. Full-screen dialogs are sized to the work area
// and follow it when the screen is turned.
#pragma once

#include "platform/win/WinTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::gdi {
class Surface;
}

namespace platform::desktop {

constexpr int kCaptionBarHeight = 26;
constexpr int kSoftKeyBarHeight = 26;

struct ScreenLayout {
    int width;     // 240 in portrait, 320 in landscape
    int height;    // 320 in portrait, 240 in landscape
    RECT workArea; // between the caption bar and the soft-key bar
};

ScreenLayout Layout();
// Turns or resizes the screen; full-screen top-level windows are resized to the new work area.
void SetScreenSize(int width, int height);

struct TopLevelView {
    HWND hwnd;
    RECT rect; // screen coordinates
    std::shared_ptr<gdi::Surface> surface;
    std::wstring caption;
    bool modal;   // runs a modal loop (dialog box or message box)
    bool enabled; // takes input
    DWORD threadId;
};

// The visible top-level windows, bottom of the z-order first.
std::vector<TopLevelView> VisibleTopLevels();
// The window that receives keys: the topmost enabled visible top-level window, or nullptr.
HWND ForegroundWindow();

// Called on any thread whenever pixels of a visible window, or the stack of windows, changed; the
// rectangle is in screen coordinates. One listener (the compositor).
using ChangeListener = std::function<void(const RECT& screenRect)>;
void SetChangeListener(ChangeListener listener);

// Soft keys: the shell's menu bar registers the labels and the window that receives the soft keys for a
// top-level window; the compositor draws the labels of the foreground window.
void SetSoftKeys(HWND topLevel, HWND menuBar, const std::wstring& left, const std::wstring& right);
struct SoftKeys {
    HWND menuBar;
    std::wstring left;
    std::wstring right;
};
SoftKeys SoftKeysOf(HWND topLevel);

// Input. A click goes to the window under the point (the deepest enabled visible child of the topmost
// top-level window there that takes input); keys and characters go to the focus window of the foreground
// window (VK_F1 and VK_F2, the soft keys, to its menu bar when it has one). Each is posted to the thread
// that owns the target window, as WM_LBUTTONDOWN/WM_LBUTTONUP, WM_KEYDOWN/WM_KEYUP and WM_CHAR.
void InjectClick(POINT screenPoint);
void InjectMouse(POINT screenPoint, bool down);
void InjectKey(UINT vk, bool down);
void InjectChar(wchar_t ch);

} // namespace platform::desktop
