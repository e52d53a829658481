// The dialog manager's pieces that the rest of the window core shares: the dialog class, dialog units,
// dialog creation from a template (with or without a modal loop waiting for it), the routing of a
// thread's messages to its dialogs, and the focus rules of dialogs.
#pragma once

#include "platform/win/WinApi.h"
#include "platform/win/Window.h"

#include <memory>

namespace platform::win {

// Pixels per dialog unit, both ways: with them the device's 113 x 116 unit dialogs fit the 240 x 268
// work area with their text legible.
constexpr int kDialogUnitPx = 2;
// Pixel height of the font a template asks for, per point of its size (8 pt gives 12 px).
constexpr int kFontPxPerTwoPoints = 3;

inline constexpr wchar_t kDialogClassName[] = L"#32770";
void EnsureDialogClass();

HWND CreateDialogFromTemplate(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc, LPARAM init,
                              std::shared_ptr<ModalState> modal);

// Hands `msg` to IsDialogMessage of the dialog it is meant for (the top-level dialog of its window, when
// that belongs to the calling thread). True when that dialog handled it.
bool RouteToDialog(MSG& msg);

// A dialog getting the focus passes it on: to the control that had it last, or to the first tab stop.
void RestoreDialogFocus(HWND dialog);

// WM_NEXTDLGCTL: wParam is the control (when lParam is nonzero) or whether to go backwards.
void MoveDialogFocus(HWND dialog, WPARAM wParam, LPARAM lParam);

} // namespace platform::win
