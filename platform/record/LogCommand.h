// The automation channel's `log` command, which reads the night's record:
//   log [n]                  the last n events (default 20), oldest first, one a line:
//                            "<id> <local date time.ms> <device ms>ms <kind> <detail>"
//   log levels <from> <to>   the level rows of the seconds from..to (local "YYYY-MM-DDTHH:MM[:SS]" or
//                            "@<epoch seconds>"), one a line: "<local date time> peak=<n>|- mean=<n.n>|-
//                            capture=yes|no armed=yes|no"; at most 3600 lines
// Both first wait until what was reported so far is written.
#pragma once

#include "platform/automation/DeviceCommands.h"

namespace platform::record {

void RegisterLogCommand();

// The command itself, for tests.
automation::CommandResult LogCommand(const std::vector<std::string>& args);

} // namespace platform::record
