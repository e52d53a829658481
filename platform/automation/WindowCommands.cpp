// The commands that read windows and click them: windows, controls, click, msgbox.
#include "platform/automation/Commands.h"
#include "platform/automation/TextFormat.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/shell/Power.h"
#include "platform/win/WinApi.h"

namespace platform::automation::commands {
namespace {

bool TopLevelEnabled(HWND hwnd) {
    for (const auto& info : desktop::EnumerateTopLevels()) {
        if (info.hwnd == hwnd) {
            return info.enabled && info.visible;
        }
    }
    return false;
}

// Whether a click that reaches `target` is one on `control` of `top`: the control itself, a part of it,
// or, for a control that lets clicks through, what lies below it in the same window.
bool Reaches(HWND target, HWND top, HWND control) {
    return target &&
           (target == control || target == top || IsChild(control, target) || IsChild(target, control));
}

// A click as the user's: with the display off it only switches the display on. With the display on, a
// point where the click would do nothing (off the screen, off every window, on a disabled window) is an
// error, not a click.
Reply ClickAt(POINT point) {
    const bool wakes = !shell::IsDisplayOn();
    const auto screen = desktop::Layout();
    const bool onScreen = point.x >= 0 && point.y >= 0 && point.x < screen.width && point.y < screen.height;
    if (!wakes && (!onScreen || !desktop::WindowAtPoint(point))) {
        return Reply::Error("nothing takes a click at " + std::to_string(point.x) + "," +
                            std::to_string(point.y));
    }
    shell::UserClick(point);
    return Delivered(wakes ? "the display was off: the click switched it on and went no further"
                           : "clicked " + std::to_string(point.x) + "," + std::to_string(point.y));
}

// Clicks the control, unless a user could not: hidden, disabled, or under a modal window.
Reply ClickControl(const desktop::WindowInfo& top, const desktop::WindowInfo& control) {
    if (!control.visible) {
        return Reply::Error("control " + std::to_string(control.id) + " is hidden");
    }
    if (!control.enabled) {
        return Reply::Error("control " + std::to_string(control.id) + " is disabled");
    }
    if (!TopLevelEnabled(top.hwnd)) {
        return Reply::Error("window " + Quote(top.text) +
                            " is disabled or hidden (a modal window is over it?)");
    }
    // As a user would, first bring a control that its window has scrolled away into view.
    desktop::ScrollIntoView(control.hwnd);
    RECT rect = control.rect;
    GetWindowRect(control.hwnd, &rect);
    const POINT center = CenterOf(rect);
    if (shell::IsDisplayOn() && !Reaches(desktop::WindowAtPoint(center), top.hwnd, control.hwnd)) {
        return Reply::Error("control " + std::to_string(control.id) +
                            " cannot be reached: it lies outside the screen or under another window");
    }
    return ClickAt(center);
}

// The message box button that `word` names: a result name (ok, cancel...) or the button's text.
const desktop::WindowInfo* ButtonNamed(const MessageBoxView& box, const std::string& word) {
    static const std::pair<const char*, int> kResults[] = {
        {"ok", IDOK},         {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
        {"ignore", IDIGNORE}, {"yes", IDYES},       {"no", IDNO}};
    for (const auto& button : box.buttons) {
        if (SameText(button.text, word)) {
            return &button;
        }
    }
    for (const auto& [name, id] : kResults) {
        if (Lower(word) != name) {
            continue;
        }
        for (const auto& button : box.buttons) {
            if (button.id == id) {
                return &button;
            }
        }
    }
    return nullptr;
}

} // namespace

Reply Windows(const ChannelHooks&, const Args& args) {
    if (!args.empty()) {
        return Reply::Error("usage: windows");
    }
    Reply reply;
    const HWND foreground = desktop::ForegroundWindow();
    for (const auto& info : desktop::EnumerateTopLevels()) {
        reply.lines.push_back(
            DescribeTopLevel(info, info.hwnd == foreground, controls::IsMessageBox(info.hwnd)));
    }
    reply.status = std::to_string(reply.lines.size()) + " windows";
    return reply;
}

Reply Controls(const ChannelHooks&, const Args& args) {
    if (args.size() != 1) {
        return Reply::Error("usage: controls <window>");
    }
    std::string error;
    const auto top = FindTopLevel(args[0], &error);
    if (!top) {
        return Reply::Error(error);
    }
    Reply reply;
    for (const auto& info : desktop::EnumerateChildren(top->hwnd)) {
        reply.lines.push_back(DescribeControl(QueryControl(info)));
    }
    reply.status = std::to_string(reply.lines.size()) + " controls";
    return reply;
}

Reply Click(const ChannelHooks&, const Args& args) {
    if (args.size() != 2) {
        return Reply::Error("usage: click <window> <control> | click <x> <y>");
    }
    const auto x = ParseNumber(args[0]);
    const auto y = ParseNumber(args[1]);
    if (x && y) {
        return ClickAt(POINT{static_cast<LONG>(*x), static_cast<LONG>(*y)});
    }
    std::string error;
    const auto top = FindTopLevel(args[0], &error);
    if (!top) {
        return Reply::Error(error);
    }
    const auto control = FindControl(top->hwnd, args[1], &error);
    if (!control) {
        return Reply::Error(error);
    }
    return ClickControl(*top, *control);
}

Reply MsgBox(const ChannelHooks&, const Args& args) {
    const bool press = !args.empty() && args[0] == "press";
    if ((press && args.size() != 2) || (!press && !args.empty())) {
        return Reply::Error("usage: msgbox [press <button>]");
    }
    const auto box = TopmostMessageBox();
    if (!box) {
        return Reply::Error("no message box");
    }
    if (press) {
        const desktop::WindowInfo* button = ButtonNamed(*box, args[1]);
        if (!button) {
            return Reply::Error("the message box has no button " + Quote(std::string_view(args[1])));
        }
        return ClickControl(box->window, *button);
    }
    Reply reply;
    reply.lines.push_back("caption " + Quote(box->window.text));
    reply.lines.push_back("text " + Quote(box->text));
    for (const auto& button : box->buttons) {
        reply.lines.push_back("button id=" + std::to_string(button.id) + " " + Quote(button.text));
    }
    reply.status = HandleText(box->window.hwnd);
    return reply;
}

} // namespace platform::automation::commands
