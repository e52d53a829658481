// Local wall-clock time for the night's record: times are kept as milliseconds since the epoch and shown
// and read in the machine's local time zone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform::record {

std::int64_t WallClockMs();

// "2026-12-08 21:04:05" and, with `millis`, "2026-12-08 21:04:05.123".
std::string LocalDateTime(std::int64_t ms, bool millis = false);
// "21:04:05".
std::string LocalClock(std::int64_t ms);

// The epoch milliseconds of a local date and time of day (seconds since midnight; may exceed a day).
std::int64_t LocalMs(int year, int month, int day, int secondOfDay);

// Reads "YYYY-MM-DD" into its parts.
bool ParseDate(const std::string& text, int* year, int* month, int* day);

// Reads "YYYY-MM-DDTHH:MM[:SS]" or "YYYY-MM-DD HH:MM[:SS]" (local time), or "@<epoch seconds>".
std::optional<std::int64_t> ParseLocalTime(const std::string& text);

} // namespace platform::record
