#include "platform/record/LocalTime.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace platform::record {
namespace {

std::tm LocalParts(std::int64_t ms) {
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return parts;
}

} // namespace

std::int64_t WallClockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string LocalDateTime(std::int64_t ms, bool millis) {
    const std::tm t = LocalParts(ms);
    char text[48];
    if (millis) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.tm_year + 1900, t.tm_mon + 1,
                      t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                      static_cast<int>(((ms % 1000) + 1000) % 1000));
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                      t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    }
    return text;
}

std::string LocalClock(std::int64_t ms) {
    const std::tm t = LocalParts(ms);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::int64_t LocalMs(int year, int month, int day, int secondOfDay) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_sec = secondOfDay;
    t.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&t)) * 1000;
}

bool ParseDate(const std::string& text, int* year, int* month, int* day) {
    int used = 0;
    return std::sscanf(text.c_str(), "%4d-%2d-%2d%n", year, month, day, &used) == 3 &&
           used == static_cast<int>(text.size()) && *month >= 1 && *month <= 12 && *day >= 1 && *day <= 31;
}

std::optional<std::int64_t> ParseLocalTime(const std::string& text) {
    if (!text.empty() && text[0] == '@') {
        long long seconds = 0;
        int used = 0;
        if (std::sscanf(text.c_str() + 1, "%lld%n", &seconds, &used) == 1 &&
            used == static_cast<int>(text.size()) - 1) {
            return seconds * 1000;
        }
        return std::nullopt;
    }
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, used = 0;
    char sep = 0;
    const int got = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d%n:%2d%n", &y, &mo, &d, &sep, &h, &mi,
                                &used, &s, &used);
    if (got < 6 || (sep != 'T' && sep != ' ') || used != static_cast<int>(text.size()) || h > 23 || mi > 59 ||
        s > 59) {
        return std::nullopt;
    }
    return LocalMs(y, mo, d, h * 3600 + mi * 60 + s);
}

} // namespace platform::record
