// The commands that give input: key, type, softkey, menu. All of it goes through the desktop's input path.
#include "platform/automation/Commands.h"
#include "platform/automation/TextFormat.h"
#include "platform/screen/KeyInput.h"
#include "platform/shell/Power.h"
#include "platform/shell/SoftKeys.h"
#include "platform/win/Desktop.h"
#include "platform/win/Utf8.h"

namespace platform::automation::commands {

Reply Delivered(std::string status) {
    if (!desktop::WaitUntilIdle(kSettleTime)) {
        status += std::string(status.empty() ? "" : "; ") + "a window thread is still busy";
    }
    return Reply::Ok(std::move(status));
}

Reply Key(const ChannelHooks&, const Args& args) {
    if (args.empty() || args.size() > 2) {
        return Reply::Error("usage: key <name> [<count>]");
    }
    const auto vk = screen::KeyByName(args[0]);
    if (!vk) {
        return Reply::Error("unknown key " + args[0] + "; try help");
    }
    long long count = 1;
    if (args.size() == 2) {
        const auto n = ParseNumber(args[1]);
        if (!n || *n < 1 || *n > 1000) {
            return Reply::Error("bad count " + args[1] + " (1..1000)");
        }
        count = *n;
    }
    const bool wakes = !shell::IsDisplayOn();
    for (long long i = 0; i < count; ++i) {
        screen::PressKey(*vk);
    }
    return Delivered(wakes ? "the display was off: the first press switched it on and went no further" : "");
}

Reply Type(const ChannelHooks&, const Args& args) {
    if (args.size() != 1) {
        return Reply::Error("usage: type <text> (quote text with blanks)");
    }
    const std::wstring text = FromUtf8(args[0]);
    screen::TypeText(text);
    return Delivered(std::to_string(text.size()) + " characters");
}

Reply SoftKey(const ChannelHooks&, const Args& args) {
    if (args.size() != 1 || (args[0] != "left" && args[0] != "right")) {
        return Reply::Error("usage: softkey left|right");
    }
    const bool wakes = !shell::IsDisplayOn();
    screen::PressKey(args[0] == "left" ? VK_TSOFT1 : VK_TSOFT2);
    return Delivered(wakes ? "the display was off: the press switched it on and went no further" : "");
}

Reply Menu(const ChannelHooks&, const Args& args) {
    const HWND foreground = desktop::ForegroundWindow();
    const auto items = foreground ? shell::MenuItemsOf(foreground) : std::vector<shell::MenuItemInfo>{};
    if (items.empty()) {
        return Reply::Error("the foreground window has no soft-key menu");
    }
    if (args.empty()) {
        Reply reply;
        for (const auto& item : items) {
            std::string line =
                item.inPopup ? "item " : (item.softKey == shell::kLeftSoftKey ? "left " : "right ");
            line += Quote(item.text);
            if (item.id != 0) {
                line += " id=" + std::to_string(item.id);
            }
            reply.lines.push_back(line + (item.opensPopup ? " popup" : ""));
        }
        reply.status = std::to_string(items.size()) + " entries";
        return reply;
    }
    if (!shell::IsDisplayOn()) {
        return Reply::Error("the display is off; a key press or a click switches it on first");
    }
    // The rest of the line is the item, so that "menu Display Off" needs no quotes.
    std::string item = args[0];
    for (std::size_t i = 1; i < args.size(); ++i) {
        item += " " + args[i];
    }
    if (!shell::ChooseMenuItem(foreground, FromUtf8(item))) {
        return Reply::Error("the menu has no command " + Quote(std::string_view(item)));
    }
    return Delivered("");
}

} // namespace platform::automation::commands
