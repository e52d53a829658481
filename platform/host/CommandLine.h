// The device's command line: --profile NAME|FILE, any number of --set SECTION.KEY=VALUE overrides,
// --help and --version. Which file a profile name stands for, and the profile used when none is given,
// are ProfileSearch.h's business.
#pragma once

#include <string>
#include <vector>

namespace platform::host {

struct CommandLine {
    std::string profile; // as given; empty when the command line names none
    std::vector<std::string> overrides;
    bool help = false;
    bool version = false;
};

// False with `error` for an unknown or incomplete argument.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine* line, std::string* error);

std::string Usage(const std::string& program);

// "<program> <version>", one line.
std::string VersionLine(const std::string& program);

} // namespace platform::host
