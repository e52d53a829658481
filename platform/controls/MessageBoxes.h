// Message boxes as the automation channel and tests find them.
//
// MessageBox (declared in WinApi.h) shows an ordinary modal dialog of the dialog class, filling the
// work area like the device's own: the caption as a heading (with a warning sign for
// MB_ICONEXCLAMATION), the text in a STATIC child with id kMessageBoxTextId, and BUTTON children with ids
// IDOK ("OK") and, for MB_OKCANCEL, IDCANCEL ("Cancel"). Its soft keys read "OK" and "Cancel" (the right
// one empty for MB_OK). The window's text is the caption. While it is up it is recorded here, so that a
// box is recognised by its handle rather than guessed from its look.
//
// Answering a box: click its buttons, press the soft keys (VK_F1 = OK, VK_F2 = Cancel), Enter (the
// focused button, OK at first) or Escape (Cancel, or OK for MB_OK), or PressMessageBoxButton, which posts
// BM_CLICK to the button, the same way a click ends up.
#pragma once

#include "platform/win/WinTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::controls {

constexpr int kMessageBoxTextId = 0xFFFF;

struct MessageBoxButton {
    int id; // IDOK or IDCANCEL
    std::wstring text;
};

struct MessageBoxInfo {
    HWND hwnd;
    std::wstring caption;
    std::wstring text;
    UINT type; // the MB_ flags it was called with
    std::vector<MessageBoxButton> buttons;
    DWORD threadId; // the thread whose modal loop runs it
};

// True while `hwnd` is a message box that is up. Safe from any thread.
bool IsMessageBox(HWND hwnd);
std::optional<MessageBoxInfo> ReadMessageBox(HWND hwnd);
// The message box highest in the z-order among the visible top-level windows, or nullptr.
HWND TopmostMessageBox();
// Posts BM_CLICK to the box's button `id`; false when the box or the button is not there.
bool PressMessageBoxButton(HWND box, int id);

} // namespace platform::controls
