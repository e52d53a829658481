// The command wait: a condition on the windows or on a device command's answer, checked after every
// change of window state (and at least every 50 ms) until it holds or the deadline passes.
#include "platform/automation/Commands.h"
#include "platform/automation/DeviceCommands.h"
#include "platform/automation/TextFormat.h"
#include "platform/win/Utf8.h"

#include <chrono>

namespace platform::automation::commands {
namespace {

using Condition = std::function<bool(std::string* seen)>;

constexpr long long kMaxWaitMs = 600000;

bool Compare(const std::string& actual, const std::string& op, const std::string& wanted) {
    return op == "is" ? actual == wanted : actual.find(wanted) != std::string::npos;
}

bool VisibleWindowWithCaption(const std::string& caption) {
    for (const auto& info : desktop::EnumerateTopLevels()) {
        if (info.visible && SameText(info.text, caption)) {
            return true;
        }
    }
    return false;
}

// Looks the control up afresh each time: its window may come and go while we wait.
std::optional<desktop::WindowInfo> Control(const std::string& window, const std::string& control,
                                           std::string* seen) {
    const auto top = FindTopLevel(window, seen);
    return top ? FindControl(top->hwnd, control, seen) : std::nullopt;
}

bool HasState(const ControlState& state, const std::string& name) {
    const auto& info = state.info;
    if (name == "enabled" || name == "disabled") {
        return info.enabled == (name == "enabled");
    }
    if (name == "visible" || name == "hidden") {
        return info.visible == (name == "visible");
    }
    if (name == "focus") {
        return info.focused;
    }
    return state.checked && (*state.checked != 0) == (name == "checked");
}

std::optional<Condition> TextCondition(const Args& a, std::string* error) {
    if (a.size() != 5 || (a[3] != "is" && a[3] != "contains")) {
        *error = "usage: wait <ms> text <window> <control> is|contains <text>";
        return std::nullopt;
    }
    return [a](std::string* seen) {
        const auto control = Control(a[1], a[2], seen);
        if (!control) {
            return false;
        }
        const std::string text = ToUtf8(control->text);
        *seen = "text " + Quote(std::string_view(text));
        return Compare(text, a[3], a[4]);
    };
}

std::optional<Condition> StateCondition(const Args& a, std::string* error) {
    static const char* const kStates[] = {"enabled", "disabled",  "visible", "hidden",
                                          "checked", "unchecked", "focus"};
    if (a.size() != 4 || std::find(std::begin(kStates), std::end(kStates), a[3]) == std::end(kStates)) {
        *error = "usage: wait <ms> state <window> <control> "
                 "enabled|disabled|visible|hidden|checked|unchecked|focus";
        return std::nullopt;
    }
    return [a](std::string* seen) {
        const auto control = Control(a[1], a[2], seen);
        if (!control) {
            return false;
        }
        const auto state = QueryControl(*control);
        *seen = DescribeControl(state);
        return HasState(state, a[3]);
    };
}

std::optional<Condition> PosCondition(const Args& a, std::string* error) {
    const auto wanted = a.size() == 5 && a[3] == "is" ? ParseNumber(a[4]) : std::nullopt;
    if (!wanted) {
        *error = "usage: wait <ms> pos <window> <control> is <n>";
        return std::nullopt;
    }
    return [a, wanted](std::string* seen) {
        const auto control = Control(a[1], a[2], seen);
        if (!control) {
            return false;
        }
        const auto state = QueryControl(*control);
        *seen = DescribeControl(state);
        return state.pos && *state.pos == *wanted;
    };
}

std::optional<Condition> DeviceCondition(const Args& a, std::string* error) {
    if (a.size() != 4 || (a[2] != "is" && a[2] != "contains")) {
        *error = "usage: wait <ms> device \"<command line>\" is|contains <text>";
        return std::nullopt;
    }
    const auto words = SplitWords(a[1]);
    if (words.empty()) {
        *error = "empty device command";
        return std::nullopt;
    }
    return [a, words](std::string* seen) {
        CommandResult result{false, ""};
        if (!RunDeviceCommand(words[0], std::vector<std::string>(words.begin() + 1, words.end()), &result)) {
            *seen = "no device command " + words[0];
            return false;
        }
        *seen = (result.ok ? "" : "error ") + result.text;
        return result.ok && Compare(result.text, a[2], a[3]);
    };
}

std::optional<Condition> MakeCondition(const Args& a, std::string* error) {
    const std::string& kind = a[0];
    if (kind == "text") {
        return TextCondition(a, error);
    }
    if (kind == "state") {
        return StateCondition(a, error);
    }
    if (kind == "pos") {
        return PosCondition(a, error);
    }
    if (kind == "device") {
        return DeviceCondition(a, error);
    }
    if ((kind == "window" || kind == "nowindow") && a.size() == 2) {
        const bool wanted = kind == "window";
        return [caption = a[1], wanted](std::string* seen) {
            const bool present = VisibleWindowWithCaption(caption);
            *seen = present ? "the window is there" : "no such window";
            return present == wanted;
        };
    }
    if ((kind == "msgbox" && a.size() <= 2) || (kind == "nomsgbox" && a.size() == 1)) {
        const bool wanted = kind == "msgbox";
        const std::string caption = a.size() == 2 ? a[1] : "";
        return [caption, wanted](std::string* seen) {
            const auto box = TopmostMessageBox();
            *seen = box ? "message box " + Quote(box->window.text) : "no message box";
            const bool present = box && (caption.empty() || SameText(box->window.text, caption));
            return present == wanted;
        };
    }
    if (kind == "idle" && a.size() == 1) {
        return [](std::string* seen) {
            *seen = "a window thread is busy";
            return desktop::WaitUntilIdle(std::chrono::milliseconds(0));
        };
    }
    *error = "unknown or malformed condition; try help";
    return std::nullopt;
}

} // namespace

Reply Wait(const ChannelHooks&, const Args& args) {
    const auto ms = args.size() >= 2 ? ParseNumber(args[0]) : std::nullopt;
    if (!ms || *ms < 0 || *ms > kMaxWaitMs) {
        return Reply::Error("usage: wait <ms 0..600000> <condition>");
    }
    std::string error;
    const auto condition = MakeCondition(Args(args.begin() + 1, args.end()), &error);
    if (!condition) {
        return Reply::Error(error);
    }
    const auto start = std::chrono::steady_clock::now();
    std::string seen;
    const bool held = desktop::WaitUntil([&] { return (*condition)(&seen); }, std::chrono::milliseconds(*ms));
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    if (!held) {
        return Reply::Error("timeout after " + args[0] + " ms: " + seen);
    }
    return Reply::Ok(std::to_string(elapsed) + " ms");
}

} // namespace platform::automation::commands
