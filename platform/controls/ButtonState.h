// What a BUTTON window keeps: its check state, whether it is held down, whether it has the focus, and
// its font. Push buttons, check boxes, radio buttons and group boxes share the one class; the style's
// BS_TYPEMASK bits tell them apart.
#pragma once

#include "platform/win/WinApi.h"

namespace platform::controls {

enum class ButtonKind { Push, Check, Radio, Group };

ButtonKind KindOf(DWORD style);
bool IsDefaultPush(DWORD style);
bool IsAuto(DWORD style); // checks itself when clicked

struct ButtonState {
    WPARAM check = BST_UNCHECKED;
    bool pressed = false;  // drawn pushed: mouse held inside, or Space held
    bool tracking = false; // the mouse button went down on it and it holds the capture
    bool focused = false;
    HFONT font = nullptr;
};

void PaintButton(HWND hwnd, const ButtonState& state);

} // namespace platform::controls
