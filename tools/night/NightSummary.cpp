#include "NightSummary.h"

#include "platform/record/LocalTime.h"

#include <map>

namespace night {
namespace {

using platform::record::LocalClock;

std::string Span(std::int64_t from, std::int64_t to) {
    return LocalClock(from) + " to " + LocalClock(to) + " (" + Duration(to - from) + ")";
}

// The longest run of seconds in which the monitor listened and heard nothing (level 0). Seconds in which
// no buffer ended continue the run that their buffer belongs to.
std::string QuietStretch(const Night& n) {
    std::int64_t bestFrom = 0, bestTo = 0;
    std::int64_t start = -1; // none
    std::int64_t last = 0;
    const auto close = [&] {
        if (start >= 0 && last - start > bestTo - bestFrom) {
            bestFrom = start;
            bestTo = last;
        }
        start = -1;
    };
    for (const auto& row : n.levels) {
        const bool quiet = row.captured && (!row.peak || *row.peak == 0);
        if (!quiet) {
            close();
            continue;
        }
        if (start < 0) {
            start = row.t * 1000;
        }
        last = (row.t + 1) * 1000;
    }
    close();
    return bestTo > bestFrom ? Span(bestFrom, bestTo) : "none";
}

} // namespace

std::string Duration(std::int64_t ms) {
    const std::int64_t s = ms / 1000;
    if (s >= 3600) {
        return std::to_string(s / 3600) + " h " + std::to_string(s % 3600 / 60) + " min";
    }
    if (s >= 60) {
        return std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
    }
    return std::to_string(s) + " s";
}

std::vector<std::string> Summary(const Night& n) {
    std::vector<std::string> lines;
    lines.push_back("Night of " + n.date + ": " + LocalClock(n.fromMs) + " to " + LocalClock(n.toMs) +
                    (n.session ? " (session)" : " (no session)"));
    if (n.armedFromMs) {
        lines.push_back("Armed from " + LocalClock(*n.armedFromMs) + " to " + LocalClock(*n.armedToMs) +
                        ", alarm step " + std::to_string(n.step));
    } else {
        lines.push_back("Never armed");
    }
    lines.push_back("Alarms: " + std::to_string(n.alarms.size()));
    int connected = 0;
    for (const Call& c : n.calls) {
        connected += c.connected ? 1 : 0;
    }
    lines.push_back("Calls: " + std::to_string(n.calls.size()) + ", connected " + std::to_string(connected) +
                    ", failed " + std::to_string(n.calls.size() - connected));
    // Calls that did not get through, grouped by how they ended.
    std::map<std::string, int> failures;
    for (const Call& c : n.calls) {
        if (!c.connected) {
            ++failures[(c.how.empty() ? std::string("did not end") : c.how) +
                       (c.reason.empty() ? "" : " (" + c.reason + ")")];
        }
    }
    for (const auto& [why, count] : failures) {
        lines.push_back("  " + std::to_string(count) + " " + why);
    }
    lines.push_back("Longest quiet stretch: " + QuietStretch(n));
    if (n.deaf.empty()) {
        lines.push_back("Deaf: none");
    }
    for (const Stretch& s : n.deaf) {
        lines.push_back("Deaf: " + Span(s.fromMs, s.toMs) +
                        (s.label == "deaf" ? "" : ", " + s.label.substr(6)));
    }
    return lines;
}

} // namespace night
