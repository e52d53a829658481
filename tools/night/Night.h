// One night of the record, read from the database and put into the shapes the chart and the summary
// draw: the level rows, the armed stretch with its alarm step, the alarms, the calls with how each ended,
// and the stretches in which the monitor did not listen (during a call, or deaf otherwise).
//
// A night runs from a session's start to its stop. Without a session in it, a night is 18:00 to 10:00
// local time. `--night DATE` looks for the first session that starts between noon of DATE and noon of
// the next day; without a date, the latest session of the record is the night.
#pragma once

#include "platform/record/NightDatabase.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace night {

struct Stretch {
    std::int64_t fromMs = 0;
    std::int64_t toMs = 0;
    std::string label;
};

struct Call {
    int number = 0;
    std::int64_t fromMs = 0;
    std::int64_t toMs = 0;
    std::string dialled;
    bool connected = false;
    std::string how; // far-end, hang-up, timeout, failure, or "" while it had not ended
    std::string reason;
};

struct Alarm {
    std::int64_t atMs = 0;
    int level = 0;
    int step = 0;
};

struct Night {
    std::int64_t fromMs = 0; // clock time, epoch milliseconds
    std::int64_t toMs = 0;
    bool session = false; // the night is a session's
    std::string date;     // "YYYY-MM-DD" of its evening
    std::optional<std::int64_t> armedFromMs;
    std::optional<std::int64_t> armedToMs;
    int step = 0;
    std::vector<platform::record::LevelRow> levels;
    std::vector<Alarm> alarms;
    std::vector<Call> calls;
    std::vector<Stretch> inCall; // not listening because of a call
    std::vector<Stretch> deaf;   // not listening for any other reason
};

// `date` "YYYY-MM-DD" or empty for the latest session. False with `error` for a bad date or an empty
// record.
bool LoadNight(platform::record::NightDatabase& db, const std::string& date, Night* night,
               std::string* error);

} // namespace night
