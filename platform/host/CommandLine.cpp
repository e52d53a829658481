#include "platform/host/CommandLine.h"

namespace platform::host {

bool ParseCommandLine(int argc, const char* const* argv, CommandLine* line, std::string* error) {
    *line = CommandLine{};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line->help = true;
        } else if (arg == "--version" || arg == "-V") {
            line->version = true;
        } else if ((arg == "--profile" || arg == "--set") && i + 1 < argc) {
            (arg == "--profile" ? line->profile : line->overrides.emplace_back()) = argv[++i];
        } else if (arg.rfind("--profile=", 0) == 0) {
            line->profile = arg.substr(10);
        } else if (arg.rfind("--set=", 0) == 0) {
            line->overrides.push_back(arg.substr(6));
        } else {
            *error =
                arg == "--profile" || arg == "--set" ? arg + " needs a value" : "unknown argument " + arg;
            return false;
        }
    }
    return true;
}

std::string Usage(const std::string& program) {
    return "usage: " + program +
           " [--profile NAME|FILE] [--set SECTION.KEY=VALUE]...\n"
           "  --profile NAME   the device profile NAME.ini, from ~/.config/lullwatch/profiles/, else the\n"
           "                   installed ones (/usr/share/lullwatch/profiles/), e.g. demo, desktop, sip\n"
           "  --profile FILE   a profile file given by its path (with a slash, or ending in .ini)\n"
           "                   without --profile: desktop where a sound capture device exists, else demo\n"
           "  --set S.K=V      sets key K of section [S] over what the profile says, e.g.\n"
           "                   --set device.clock_factor=10 --set screen.frontend=headless\n"
           "  --help           this text\n"
           "  --version        the program's version\n"
           "See lullwatch(1) for the profiles' keys, the keys of the window and the files.\n";
}

std::string VersionLine(const std::string& program) {
    return program + " " + LULLWATCH_VERSION + "\n";
}

} // namespace platform::host
