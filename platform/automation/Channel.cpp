#include "platform/automation/Channel.h"

#include "platform/automation/Commands.h"
#include "platform/automation/DeviceCommands.h"
#include "platform/screen/KeyInput.h"

namespace platform::automation {
namespace {

using Handler = Reply (*)(const ChannelHooks&, const commands::Args&);

struct CommandEntry {
    const char* word;
    const char* usage;
    Handler handler;
};

Reply Help(const ChannelHooks&, const commands::Args&);

constexpr CommandEntry kCommands[] = {
    {"help", "help", Help},
    {"windows", "windows", commands::Windows},
    {"controls", "controls <window>", commands::Controls},
    {"click", "click <window> <control> | click <x> <y>", commands::Click},
    {"key", "key <name> [<count>]", commands::Key},
    {"type", "type <text>", commands::Type},
    {"softkey", "softkey left|right", commands::SoftKey},
    {"menu", "menu [<item>]", commands::Menu},
    {"msgbox", "msgbox [press <button>]", commands::MsgBox},
    {"wait", "wait <ms> <condition>", commands::Wait},
    {"snapshot", "snapshot <file.png>", commands::Snapshot},
    {"turn", "turn", commands::Turn},
    {"screen", "screen", commands::ScreenState},
    {"display", "display", commands::Display},
    {"quit", "quit", commands::Quit},
};

Reply Help(const ChannelHooks&, const commands::Args&) {
    Reply reply;
    for (const auto& entry : kCommands) {
        reply.lines.push_back(std::string("command ") + entry.usage);
    }
    std::string keys = "keys";
    for (const auto& name : screen::KeyNames()) {
        keys += " " + name;
    }
    reply.lines.push_back(keys);
    for (const auto& line : DeviceCommandHelp()) {
        reply.lines.push_back("device " + line);
    }
    return reply;
}

} // namespace

Channel::Channel(ChannelHooks hooks) : hooks_(std::move(hooks)) {}

std::string Channel::Execute(const std::string& line) const {
    std::string trimmed = line;
    while (!trimmed.empty() && (trimmed.back() == '\r' || trimmed.back() == '\n')) {
        trimmed.pop_back();
    }
    return Run(SplitWords(trimmed)).Format();
}

Reply Channel::Run(const std::vector<std::string>& words) const {
    if (words.empty()) {
        return Reply::Error("empty command; try help");
    }
    const commands::Args args(words.begin() + 1, words.end());
    for (const auto& entry : kCommands) {
        if (words.front() == entry.word) {
            return entry.handler(hooks_, args);
        }
    }
    CommandResult result;
    if (RunDeviceCommand(words.front(), args, &result)) {
        if (!result.ok) {
            return Reply::Error(result.text);
        }
        Reply reply;
        std::string text = result.text;
        while (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        if (text.find('\n') == std::string::npos) {
            reply.status = text;
            return reply;
        }
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = text.find('\n', start);
            reply.lines.push_back(
                text.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        return reply;
    }
    return Reply::Error("unknown command " + words.front() + "; try help");
}

} // namespace platform::automation
