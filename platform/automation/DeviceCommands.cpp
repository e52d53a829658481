#include "platform/automation/DeviceCommands.h"

#include <map>
#include <mutex>

namespace platform::automation {
namespace {

struct Entry {
    std::string help;
    DeviceCommand command;
};

struct Registry {
    std::mutex mutex;
    std::map<std::string, Entry> entries;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

void RegisterDeviceCommand(const std::string& word, const std::string& help, DeviceCommand command) {
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.entries[word] = Entry{help, std::move(command)};
}

bool RunDeviceCommand(const std::string& word, const std::vector<std::string>& args, CommandResult* result) {
    DeviceCommand command;
    {
        auto& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        auto it = r.entries.find(word);
        if (it == r.entries.end()) {
            return false;
        }
        command = it->second.command;
    }
    *result = command(args);
    return true;
}

std::vector<std::string> DeviceCommandHelp() {
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    std::vector<std::string> lines;
    for (const auto& [word, entry] : r.entries) {
        lines.push_back(word + ": " + entry.help);
    }
    return lines;
}

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size()) {
                word += line[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

} // namespace platform::automation
