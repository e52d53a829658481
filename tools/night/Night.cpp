#include "Night.h"

#include "platform/record/Detail.h"
#include "platform/record/LocalTime.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace night {
namespace {

using platform::record::EventRow;
using platform::record::LocalDateTime;
using platform::record::LocalMs;
using platform::record::ParseDetail;

constexpr std::int64_t kHourMs = 3600 * 1000;
constexpr std::int64_t kMaxNightMs = 24 * kHourMs;
constexpr std::int64_t kSecondMs = 1000;
// Shorter gaps between buffers are the scheduler's, not the monitor's (at a sped-up clock a few real
// milliseconds are seconds of the night).
constexpr std::int64_t kShortestDeafMs = 10000;
constexpr std::int64_t kRetryGapMs = 60000;

int Int(const std::map<std::string, std::string>& detail, const char* key) {
    const auto it = detail.find(key);
    return it == detail.end() ? 0 : std::atoi(it->second.c_str());
}

std::string Str(const std::map<std::string, std::string>& detail, const char* key) {
    const auto it = detail.find(key);
    return it == detail.end() ? "" : it->second;
}

// The evening a time belongs to: the date of the time twelve hours earlier.
std::string EveningOf(std::int64_t ms) {
    return LocalDateTime(ms - 12 * kHourMs).substr(0, 10);
}

// Where the night that starts with the session at `start` ends: its stop, the program's end, or the last
// thing recorded, and never more than a day later.
std::int64_t SessionEnd(const std::vector<EventRow>& all, std::size_t start) {
    std::int64_t last = all[start].clockMs;
    for (std::size_t i = start + 1; i < all.size(); ++i) {
        const EventRow& e = all[i];
        if (e.clockMs - all[start].clockMs > kMaxNightMs) {
            break;
        }
        last = e.clockMs;
        if (e.run == all[start].run && (e.kind == "session-stop" || e.kind == "end")) {
            return e.clockMs;
        }
        if (e.run != all[start].run) {
            return last;
        }
    }
    return last + 1000;
}

void ReadEvents(const std::vector<EventRow>& events, Night* n) {
    std::map<std::pair<std::int64_t, int>, std::size_t> callIndex;
    for (const EventRow& e : events) {
        const auto d = ParseDetail(e.detail);
        if (e.kind == "session" && n->step == 0) {
            n->step = Int(d, "step");
        } else if (e.kind == "armed" && !n->armedFromMs) {
            n->armedFromMs = e.clockMs;
        } else if ((e.kind == "session-stop" || e.kind == "end") && n->armedFromMs && !n->armedToMs) {
            n->armedToMs = e.clockMs;
        } else if (e.kind == "alarm") {
            n->alarms.push_back({e.clockMs, Int(d, "level"), Int(d, "step")});
        } else if (e.kind == "call") {
            Call call;
            call.number = Int(d, "call");
            call.fromMs = call.toMs = e.clockMs;
            call.dialled = Str(d, "number");
            callIndex[{e.run, call.number}] = n->calls.size();
            n->calls.push_back(call);
        } else if (e.kind == "call-state" || e.kind == "call-end") {
            const auto it = callIndex.find({e.run, Int(d, "call")});
            if (it == callIndex.end()) {
                continue;
            }
            Call& call = n->calls[it->second];
            if (e.kind == "call-state") {
                call.connected = call.connected || Str(d, "state") == "LINECALLSTATE_CONNECTED";
                call.toMs = std::max(call.toMs, e.clockMs);
            } else if (call.how.empty()) {
                call.how = Str(d, "how");
                call.reason = Str(d, "reason");
                call.toMs = e.clockMs;
            }
        }
    }
    if (n->armedFromMs && !n->armedToMs) {
        n->armedToMs = n->toMs;
    }
    for (Call& call : n->calls) {
        if (call.how.empty()) {
            call.toMs = n->toMs;
        }
    }
}

// A stretch without listening is a call's when a call was placed in it: the alarm stops capture just
// before it places the call, and capture starts again only after the call.
bool WithinCall(const Night& n, std::int64_t from, std::int64_t to) {
    return std::any_of(n.calls.begin(), n.calls.end(), [&](const Call& c) {
        return c.fromMs >= from - kSecondMs && c.fromMs <= to + kSecondMs;
    });
}

void FindSilences(const std::vector<EventRow>& events, Night* n) {
    std::optional<std::int64_t> start;
    const auto close = [&](std::int64_t endMs) {
        if (!start) {
            return;
        }
        Stretch s{*start, endMs, ""};
        if (WithinCall(*n, s.fromMs, s.toMs)) {
            s.label = "call";
            n->inCall.push_back(s);
        } else {
            s.label = "deaf";
            for (const EventRow& e : events) {
                if (e.kind == "fault" && e.clockMs <= s.toMs && e.clockMs >= s.fromMs - 60000) {
                    s.label = "deaf: " + Str(ParseDetail(e.detail), "text");
                }
            }
            // The retries of a failed microphone listen for a moment each, every half minute or so: one
            // stretch all the same.
            if (!n->deaf.empty() && s.fromMs - n->deaf.back().toMs <= kRetryGapMs) {
                n->deaf.back().toMs = s.toMs;
            } else {
                n->deaf.push_back(s);
            }
        }
        start.reset();
    };
    for (const auto& row : n->levels) {
        if (!row.captured && !start) {
            start = row.t * 1000;
        } else if (row.captured) {
            close(row.t * 1000);
        }
    }
    close(n->levels.empty() ? n->toMs : std::min(n->toMs, (n->levels.back().t + 1) * 1000));
    std::erase_if(n->deaf, [](const Stretch& s) { return s.toMs - s.fromMs < kShortestDeafMs; });
}

} // namespace

bool LoadNight(platform::record::NightDatabase& db, const std::string& date, Night* night,
               std::string* error) {
    const auto all =
        db.Events(std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max());
    Night n;
    std::optional<std::size_t> session;
    std::string evening = date;
    if (!date.empty()) {
        int y = 0, m = 0, d = 0;
        if (!platform::record::ParseDate(date, &y, &m, &d)) {
            *error = "'" + date + "' is not a date YYYY-MM-DD";
            return false;
        }
        const std::int64_t noon = LocalMs(y, m, d, 12 * 3600);
        const std::int64_t nextNoon = LocalMs(y, m, d + 1, 12 * 3600);
        for (std::size_t i = 0; i < all.size() && !session; ++i) {
            if (all[i].kind == "session" && all[i].clockMs >= noon && all[i].clockMs < nextNoon) {
                session = i;
            }
        }
    } else {
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].kind == "session") {
                session = i;
            }
        }
        if (!session) {
            if (all.empty()) {
                *error = "the record holds no events";
                return false;
            }
            evening = EveningOf(all.back().clockMs);
        }
    }
    if (session) {
        n.session = true;
        n.fromMs = all[*session].clockMs;
        n.toMs = SessionEnd(all, *session);
        n.date = LocalDateTime(n.fromMs).substr(0, 10);
    } else {
        int y = 0, m = 0, d = 0;
        platform::record::ParseDate(evening, &y, &m, &d);
        n.fromMs = LocalMs(y, m, d, 18 * 3600);
        n.toMs = LocalMs(y, m, d + 1, 10 * 3600);
        n.date = evening;
    }
    const auto events = db.Events(n.fromMs, n.toMs + 1);
    n.levels = db.Levels(n.fromMs / 1000, (n.toMs - 1) / 1000);
    ReadEvents(events, &n);
    FindSilences(events, &n);
    *night = std::move(n);
    return true;
}

} // namespace night
