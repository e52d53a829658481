// The device's command line: --profile FILE, any number of --set SECTION.KEY=VALUE overrides, --help.
// Without --profile the device runs on profiles/demo.ini of the working folder, or, when that does not
// exist, profiles/demo.ini of the source tree the device was built from.
#pragma once

#include <string>
#include <vector>

namespace platform::host {

struct CommandLine {
    std::string profile;
    std::vector<std::string> overrides;
    bool help = false;
};

// False with `error` for an unknown or incomplete argument.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine* line, std::string* error);

// The profile used without --profile (see above).
std::string DefaultProfile();

std::string Usage(const std::string& program);

} // namespace platform::host
