// A simulated night of the real monitor: the program runs on the test device profile with a sped-up
// clock, a session is started and armed, and every `burstMinutes` device-minutes the room gets loud until
// the alarm call is placed; the simulated far end answers and hangs up, and the room is quiet again. After
// each call the night checks that the call ended and that capture resumed, and before each burst (once
// the quiet has lasted) it samples the process: resident memory, descriptors and threads.
//
// Used by the night benchmark (8 device-hours) and by the test suite (one device-hour).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lwnight {

struct NightOptions {
    std::string program; // the monitor's binary
    std::string profile; // the test device profile
    int hours = 8;
    int burstMinutes = 10;
    double clockFactor = 1000;         // device time per real time
    std::vector<std::string> settings; // more profile settings ("section.key=value")
};

// The process as sampled after a quiet stretch.
struct ProcessSample {
    long residentKb = 0;
    int descriptors = 0;
    int threads = 0;
};

// The figures at the end of one device-hour, counted from the start of the night.
struct HourFigures {
    int hour = 0;
    int placed = 0;
    int ended = 0;
    int resumed = 0;
    ProcessSample process;
};

struct NightResult {
    bool ok = false;
    std::string error;                // why the night stopped early
    std::vector<ProcessSample> quiet; // one sample before each burst after the first, and one at the end
    std::vector<HourFigures> hours;
    int exitCode = -1;
};

// Runs the night; `onHour` (when given) sees each hour's figures as soon as they are known.
NightResult RunNight(const NightOptions& options, const std::function<void(const HourFigures&)>& onHour = {});

} // namespace lwnight
