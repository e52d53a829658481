// The automation channel: a line-based protocol by which tests, scripts and people drive the device
// from outside, through the same paths a user's hand takes. Clicks, keys, text and soft keys go into the
// user's input path and reach the windows' own threads as posted input; the channel never calls a
// window procedure. It reads the windows from the desktop's snapshots and asks controls for their state
// with SendMessage, as another program would.
//
// Protocol. One command per line; words are separated by blanks, "double quotes" keep a word whole and
// \" \\ escape inside them. Every command gets one reply: zero or more data lines, then one status line,
// "ok[ <text>]" or "error <reason>". No data line begins with the word ok or error. Input goes the
// user's way (platform::shell::User*): while the display is off, the first key press or click only
// switches it on, and the reply says so. An input command answers once the window threads have
// handled its input (or after 2 s, noting "a window thread is still busy"), so that the next command
// finds the focus and the texts as the input left them.
//
// A <window> is "foreground", a handle (0x...), or a caption (the topmost visible window with it). A
// <control> is id=<n>, text=<text>, a bare number (an id) or a text; texts match with or without the
// '&' marks of mnemonics.
//
//   help                                  the commands, the key names and the device commands
//   windows                               top-level windows, top of the z-order first, one per line:
//       window <hwnd> "<caption>" class="<class>" thread=<id> owner=<hwnd> visible|hidden
//       enabled|disabled [modal] [foreground] [messagebox] rect=<l>,<t>,<r>,<b>
//   controls <window>                     the window's controls, in creation order, one per line:
//       control id=<n> class="<class>" text="<text>" enabled|disabled visible|hidden
//       [checked|unchecked] [focus] [range=<low>..<high>] [pos=<n>] rect=<l>,<t>,<r>,<b> hwnd=<hwnd>
//   click <window> <control>              a click in the middle of the control (refused when it is
//                                         hidden or disabled, or its window is disabled)
//   click <x> <y>                         a click at that screen point
//   key <name> [<count>]                  presses a key (down, its character, up); names: up down left
//                                         right enter escape tab backspace delete home end space
//                                         softleft softright (f1 f2)
//   type <text>                           types the text into the focused control (one WM_CHAR each)
//   softkey left|right                    presses a soft key
//   menu                                  the foreground window's soft-key menu: per soft key a line
//                                         left|right "<text>" [id=<n>] [popup], its pop-up's items
//                                         after it as item "<text>" id=<n>
//   menu <item>                           chooses the soft key or pop-up item with that text, with the
//                                         keys a user would press (refused while the display is off)
//   msgbox                                the topmost message box: caption "<text>", text "<text>", then
//                                         button id=<n> "<text>" per button; error when there is none
//   msgbox press <button>                 clicks its button: ok, cancel, yes, no, retry, abort, ignore,
//                                         or the button's text
//   wait <ms> <condition>                 waits up to <ms> real milliseconds; "ok <n> ms" when the
//                                         condition held after n ms, "error timeout after <ms> ms: ..."
//                                         with what was seen last. Conditions:
//       text <window> <control> is|contains <text>
//       state <window> <control> enabled|disabled|visible|hidden|checked|unchecked|focus
//       pos <window> <control> is <n>
//       window <caption>                  a visible window with that caption exists
//       nowindow <caption>                no visible window with that caption exists
//       msgbox [<caption>]                a message box (with that caption) is up
//       nomsgbox                          no message box is up
//       idle                              every window thread waits for input with nothing to do
//       device <command line> is|contains <text>    a device command's answer
//   snapshot <file.png>                   writes the screen as it is now, composed afresh from the
//                                         windows ("ok <file.png>")
//   turn                                  turns the screen; "ok <w>x<h>"
//   screen                                "ok <w>x<h> portrait|landscape display=on|off frontend=<name>"
//   display                               "ok on" or "ok off"
//   quit                                  "ok quitting"; the program then ends as its OK soft key ends it
//   <device command> ...                  any command a device service registered (see help), such as
//                                         "sound tone 440 60" or "line calls"
#pragma once

#include "platform/automation/Reply.h"
#include "platform/automation/WindowQuery.h"

#include <functional>
#include <string>
#include <vector>

namespace platform::screen {
class Screen;
}

namespace platform::automation {

// What the channel needs from the rest of the device; the host fills it in. Missing pieces make their
// commands answer an error.
struct ChannelHooks {
    screen::Screen* screen = nullptr; // snapshot, turn, screen, display
    std::function<void()> quit;       // ends the program; returns at once
};

class Channel {
public:
    explicit Channel(ChannelHooks hooks);

    // Runs one command line and answers its reply, every line ending in '\n'. Thread-safe: commands from
    // several clients may run at once (a wait holds up only its own client).
    std::string Execute(const std::string& line) const;
    Reply Run(const std::vector<std::string>& words) const;

private:
    ChannelHooks hooks_;
};

} // namespace platform::automation
