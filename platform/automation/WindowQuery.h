// What the automation channel reads of the windows: the top-level window a command names, the control
// it names inside it, a control's state and the topmost message box. Window data comes from the
// desktop's snapshots; the state that only a control knows (check state, range, position) is asked of
// the control with SendMessage, which its own thread answers, as another program on the device would.
#pragma once

#include "platform/win/Desktop.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::automation {

// A top-level window by "foreground", by handle (0x...) or by its caption (the topmost visible one with
// that caption first). nullopt and `error` when there is none.
std::optional<desktop::WindowInfo> FindTopLevel(const std::string& word, std::string* error);

// A control of `topLevel` (any depth) by "id=<n>", "text=<text>", a bare number (an id) or a text
// (mnemonic marks may be left out).
std::optional<desktop::WindowInfo> FindControl(HWND topLevel, const std::string& word, std::string* error);

struct ControlState {
    desktop::WindowInfo info;
    std::optional<int> checked; // check boxes and radio buttons
    std::optional<int> low;     // progress bars and sliders
    std::optional<int> high;
    std::optional<int> pos;
};
ControlState QueryControl(const desktop::WindowInfo& info);

// One line for `windows` and one for `controls`.
std::string DescribeTopLevel(const desktop::WindowInfo& info, bool foreground, bool messageBox);
std::string DescribeControl(const ControlState& state);

struct MessageBoxView {
    desktop::WindowInfo window;
    std::wstring text;
    std::vector<desktop::WindowInfo> buttons;
};
// The topmost visible message box, if any.
std::optional<MessageBoxView> TopmostMessageBox();

// The point a click on the window aims at: the middle of its rectangle.
POINT CenterOf(const RECT& rect);

} // namespace platform::automation
