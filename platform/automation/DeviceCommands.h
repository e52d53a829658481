// Device commands of the automation channel. A device service (the sound source, the telephony
// service, power) registers a command word; the channel hands every line that starts with that word to
// the service and writes back what it answers. Services register at start-up, before the channel runs.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform::automation {

struct CommandResult {
    bool ok;
    std::string text; // the answer (ok) or the reason (error); may span several lines
};

// `args` holds the words after the command word, split on blanks ("quoted words" kept whole).
using DeviceCommand = std::function<CommandResult(const std::vector<std::string>& args)>;

// Registers `word` (for example "sound" or "line"); a later registration of the same word replaces it.
void RegisterDeviceCommand(const std::string& word, const std::string& help, DeviceCommand command);

// Runs a registered command; false if no command has that word.
bool RunDeviceCommand(const std::string& word, const std::vector<std::string>& args, CommandResult* result);

// One line per registered command: "word: help".
std::vector<std::string> DeviceCommandHelp();

// Splits a command line into words: blanks separate, "double quotes" keep a word whole, \" and \\ escape.
std::vector<std::string> SplitWords(const std::string& line);

} // namespace platform::automation
