#include "platform/record/LogCommand.h"

#include "platform/record/LocalTime.h"
#include "platform/record/NightDatabase.h"
#include "platform/record/Record.h"

#include <cstdio>
#include <cstdlib>

namespace platform::record {
namespace {

using automation::CommandResult;

constexpr int kMaxLevelLines = 3600;

std::unique_ptr<NightDatabase> Reader(std::string* error) {
    if (!Running()) {
        *error = "the record is off";
        return nullptr;
    }
    if (!Flush(std::chrono::seconds(5))) {
        *error = "no record written yet (" + DatabasePath() + ")";
        return nullptr;
    }
    return NightDatabase::OpenForReading(DatabasePath(), error);
}

CommandResult Events(const std::vector<std::string>& args) {
    int count = 20;
    if (args.size() == 1) {
        char* end = nullptr;
        const long n = std::strtol(args[0].c_str(), &end, 10);
        if (args[0].empty() || *end != '\0' || n < 1 || n > 100000) {
            return {false, "log: '" + args[0] + "' is not a count from 1 to 100000"};
        }
        count = static_cast<int>(n);
    }
    std::string error;
    const auto db = Reader(&error);
    if (!db) {
        return {false, "log: " + error};
    }
    std::string text;
    for (const auto& e : db->LastEvents(count)) {
        if (!text.empty()) {
            text += "\n";
        }
        text += std::to_string(e.id) + " " + LocalDateTime(e.clockMs, true) + " " +
                std::to_string(e.deviceMs) + "ms " + e.kind;
        if (!e.detail.empty()) {
            text += " " + e.detail;
        }
    }
    return {true, text.empty() ? "no events" : text};
}

std::string Mean(double mean) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", mean);
    return text;
}

CommandResult Levels(const std::vector<std::string>& args) {
    const auto from = ParseLocalTime(args[1]);
    const auto to = ParseLocalTime(args[2]);
    if (!from || !to) {
        return {false, "log levels: times are YYYY-MM-DDTHH:MM[:SS] (local) or @<epoch seconds>"};
    }
    std::string error;
    const auto db = Reader(&error);
    if (!db) {
        return {false, "log levels: " + error};
    }
    const auto rows = db->Levels(*from / 1000, *to / 1000);
    std::string text;
    int lines = 0;
    for (const auto& r : rows) {
        if (lines == kMaxLevelLines) {
            text += "\n... " + std::to_string(rows.size() - lines) + " more";
            break;
        }
        if (!text.empty()) {
            text += "\n";
        }
        text += LocalDateTime(r.t * 1000) + " peak=" + (r.peak ? std::to_string(*r.peak) : "-") +
                " mean=" + (r.mean ? Mean(*r.mean) : "-") + " capture=" + (r.captured ? "yes" : "no") +
                " armed=" + (r.armed ? "yes" : "no");
        ++lines;
    }
    return {true, text.empty() ? "no levels" : text};
}

} // namespace

CommandResult LogCommand(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "levels") {
        if (args.size() != 3) {
            return {false, "usage: log levels <from> <to>"};
        }
        return Levels(args);
    }
    if (args.size() > 1) {
        return {false, "usage: log [n] | log levels <from> <to>"};
    }
    return Events(args);
}

void RegisterLogCommand() {
    automation::RegisterDeviceCommand(
        "log", "log [n] | log levels <from> <to>: the night's record, last n events or the levels per second",
        LogCommand);
}

} // namespace platform::record
