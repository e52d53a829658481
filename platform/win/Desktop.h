// The desktop as the front-ends and the automation channel see it: the phone screen's geometry, the
// visible top-level windows in z-order with their pixels, and the one input path by which clicks, keys
// and typed text reach the windows. Nothing here is for the program's own code.
//
// Screen layout: a caption bar at the top and the soft-key bar at the bottom are drawn by the compositor;
// top-level windows live in the work area between them. Full-screen dialogs are sized to the work area
// and follow it when the screen is turned.
#pragma once

#include "platform/win/WinTypes.h"

#include <chrono>
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
// Turns or resizes the screen; full-screen top-level windows are resized to the new work area. Returns at
// once: each window is resized (WM_SIZE, repaint) by its own thread the next time it looks for messages.
void SetScreenSize(int width, int height);
// Marks a top-level window as full-screen (it is resized to the work area now and whenever the screen
// turns) or not. Top-level dialogs made from templates are full-screen unless their template has
// DS_CENTER; the shell's full-screen dialog flags use this too.
void SetFullScreen(HWND topLevel, bool fullScreen);

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
// rectangle is in screen coordinates. One listener (the compositor). It is called with no window-core
// lock held, so it may call back into this interface. Clear it (nullptr) before the objects it uses go:
// threads that end later, the main thread included, report their windows' removal through it.
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
// A window that has taken the mouse capture (SetCapture) gets every mouse message. Clicks on group boxes
// and on statics without SS_NOTIFY fall through to the window below them, as on the device.
void InjectClick(POINT screenPoint);
void InjectMouse(POINT screenPoint, bool down);
void InjectMouseMove(POINT screenPoint); // WM_MOUSEMOVE, with MK_LBUTTON while the button is down
void InjectKey(UINT vk, bool down);
void InjectChar(wchar_t ch);
// The window that a click at `screenPoint` reaches (as InjectClick finds it, a full-screen window's
// scroll bar included), or nullptr where a click does nothing: off every window, or on a disabled one.
HWND WindowAtPoint(POINT screenPoint);
// Scrolls the full-screen window that holds `control` until the control is in view, as focus moving to
// it does; nothing when it is in view already or its window does not scroll.
void ScrollIntoView(HWND control);

// --- Enumeration for the automation channel -----------------------------------------------------------
// Snapshots taken under the window lock; safe from any thread, and no window procedure runs for them
// (the text is the window's own stored text, which DefWindowProc's WM_SETTEXT keeps).
struct WindowInfo {
    HWND hwnd;
    HWND parent; // child windows
    HWND owner;  // top-level windows
    std::wstring className;
    std::wstring text; // caption of a top-level window, text of a control
    int id;            // control id (0 for top-level windows)
    DWORD style;
    DWORD exStyle;
    bool visible; // the window and all its ancestors have WS_VISIBLE
    bool enabled; // no WS_DISABLED on the window itself
    bool focused; // the focus window of its thread
    bool modal;   // runs a modal loop (dialog box or message box)
    RECT rect;    // screen coordinates
    DWORD threadId;
};
// Every top-level window, visible or not, top of the z-order first.
std::vector<WindowInfo> EnumerateTopLevels();
// Every descendant of `parent`, depth-first, each window before its children, siblings in creation order.
std::vector<WindowInfo> EnumerateChildren(HWND parent);

// Waits, on a thread that owns no windows, until `condition` holds (true) or `timeout` of real time has
// passed (false). The condition is checked after every change of window state and at least every 50 ms.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
// Waits until every thread that owns windows waits for messages with nothing left to handle (no sent,
// posted, paint or due timer message). A thread in Sleep, or busy, is not idle.
bool WaitUntilIdle(std::chrono::milliseconds timeout);

} // namespace platform::desktop
