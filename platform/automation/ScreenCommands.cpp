// The commands about the screen and the program as a whole: snapshot, turn, screen, display, quit.
#include "platform/automation/Commands.h"
#include "platform/screen/Screen.h"
#include "platform/shell/Power.h"

namespace platform::automation::commands {
namespace {

std::string Size() {
    const auto layout = desktop::Layout();
    return std::to_string(layout.width) + "x" + std::to_string(layout.height);
}

Reply NoScreen() {
    return Reply::Error("no screen is running");
}

} // namespace

Reply Snapshot(const ChannelHooks& hooks, const Args& args) {
    if (args.size() != 1) {
        return Reply::Error("usage: snapshot <file.png>");
    }
    if (!hooks.screen) {
        return NoScreen();
    }
    std::string error;
    if (!hooks.screen->WriteSnapshot(args[0], &error)) {
        return Reply::Error(error);
    }
    return Reply::Ok(args[0]);
}

Reply Turn(const ChannelHooks& hooks, const Args& args) {
    if (!args.empty()) {
        return Reply::Error("usage: turn");
    }
    if (!hooks.screen) {
        return NoScreen();
    }
    hooks.screen->Turn();
    return Reply::Ok(Size());
}

Reply ScreenState(const ChannelHooks& hooks, const Args& args) {
    if (!args.empty()) {
        return Reply::Error("usage: screen");
    }
    if (!hooks.screen) {
        return NoScreen();
    }
    const auto layout = desktop::Layout();
    return Reply::Ok(Size() + (layout.width > layout.height ? " landscape" : " portrait") +
                     " display=" + (hooks.screen->DisplayOn() ? "on" : "off") +
                     " frontend=" + hooks.screen->FrontEndName());
}

Reply Display(const ChannelHooks&, const Args& args) {
    if (!args.empty()) {
        return Reply::Error("usage: display");
    }
    return Reply::Ok(shell::IsDisplayOn() ? "on" : "off");
}

Reply Quit(const ChannelHooks& hooks, const Args& args) {
    if (!args.empty()) {
        return Reply::Error("usage: quit");
    }
    if (!hooks.quit) {
        return Reply::Error("this device cannot be ended from here");
    }
    hooks.quit();
    return Reply::Ok("quitting");
}

} // namespace platform::automation::commands
