// The record of one window. Every field is guarded by the window lock (WindowRegistry::mutex()); the
// record is reached only through the registry, by handle, so a handle outlives its window safely.
//
// Geometry: a child's rectangle is in its parent's client coordinates, a top-level window's in screen
// coordinates. Windows have no frame, so the client area is the whole window. Children are kept in
// creation order, which is also their z-order (first on top) and their dialog tab order.
#pragma once

#include "platform/win/WinTypes.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace platform::gdi {
class Surface;
}

namespace platform::win {

class MessageQueue;
struct WindowClass;

// The modal loop of a dialog box: EndDialog sets the result and ends the loop.
struct ModalState {
    std::atomic<bool> ended{false};
    std::atomic<INT_PTR> result{0};
};

// What a window of a dialog class keeps besides the usual window state.
struct DialogData {
    DLGPROC proc = nullptr;
    LONG_PTR msgResult = 0; // DWL_MSGRESULT
    LONG_PTR user = 0;      // DWL_USER
    int defaultId = 0;      // DM_SETDEFID, or the template's BS_DEFPUSHBUTTON
    HFONT font = nullptr;   // made from the template; deleted with the dialog
    std::shared_ptr<ModalState> modal;
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<const WindowClass> windowClass;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    HWND parent = nullptr; // child windows
    HWND owner = nullptr;  // top-level windows
    std::vector<HWND> children;
    RECT rect{};
    std::wstring text;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    std::vector<unsigned char> extra; // cbWndExtra bytes
    std::shared_ptr<MessageQueue> queue;

    RECT update{}; // invalid part of the client area, as one bounding rectangle
    bool eraseBackground = false;
    bool destroying = false;

    std::shared_ptr<gdi::Surface> surface; // top-level windows: the pixels of the window
    HWND lastFocus = nullptr;              // top-level windows: where the focus was last inside it
    bool fullScreen = false;               // top-level windows: follows the work area
    int modalLoops = 0;                    // modal loops running for this window
    int scrollY = 0;                       // top-level windows: how far the children are scrolled up
    std::unique_ptr<DialogData> dialog;

    bool isChild() const { return parent != nullptr; }
    bool visibleStyle() const { return (style & WS_VISIBLE) != 0; }
    bool enabledStyle() const { return (style & WS_DISABLED) == 0; }
    RECT clientRect() const { return RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top}; }
};

} // namespace platform::win
