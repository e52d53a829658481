// Keys and text as a keyboard gives them, for the front-ends and the automation channel. Everything
// goes through the user's input path (platform::shell::UserKey and UserChar, which lead to the desktop's
// InjectKey and InjectChar), so a key from the SDL window, from the automation channel and from a test
// reaches the focused window alike, and a key pressed while the display is off only switches it on.
//
// A key that makes a character on the device (Backspace, Tab, Enter, Escape, Space) is followed by that
// character's WM_CHAR, as TranslateMessage would post it; the dialog manager relies on that pairing.
#pragma once

#include "platform/win/WinTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::screen {

// The character a key makes on the device, or 0 for none.
wchar_t CharOfKey(UINT vk);

// Key down, its character (if any), key up.
void PressKey(UINT vk);

// One WM_CHAR per character.
void TypeText(std::wstring_view text);

// The keys the automation channel knows by name (lower case): up down left right enter escape tab
// backspace delete home end space softleft (also f1) softright (also f2).
std::optional<UINT> KeyByName(std::string_view name);
std::vector<std::string> KeyNames();

} // namespace platform::screen
