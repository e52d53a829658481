#include "platform/host/CommandLine.h"

#include <sys/stat.h>

namespace platform::host {
namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

} // namespace

bool ParseCommandLine(int argc, const char* const* argv, CommandLine* line, std::string* error) {
    *line = CommandLine{};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line->help = true;
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
    if (line->profile.empty()) {
        line->profile = DefaultProfile();
    }
    return true;
}

std::string DefaultProfile() {
    const std::string local = "profiles/demo.ini";
    if (Exists(local)) {
        return local;
    }
    return std::string(LULLWATCH_SOURCE_DIR) + "/profiles/demo.ini";
}

std::string Usage(const std::string& program) {
    return "usage: " + program +
           " [--profile FILE] [--set SECTION.KEY=VALUE]...\n"
           "  --profile FILE   the device profile (default: profiles/demo.ini of the working folder, else "
           "of\n"
           "                   the source tree)\n"
           "  --set S.K=V      sets key K of section [S] over what the profile says, e.g.\n"
           "                   --set device.clock_factor=10 --set screen.frontend=headless\n";
}

} // namespace platform::host
