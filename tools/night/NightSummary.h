// The night in a few lines of text, for the morning: when the alarm was armed, how many alarms there were,
// which calls got through and why the others did not, the longest quiet stretch, and any stretch in which
// the monitor was deaf. Lines look like
//   Night of 2026-12-08: 21:04:10 to 06:58:31 (session)
//   Armed from 21:04:41 to 06:58:31, alarm step 3
//   Alarms: 3
//   Calls: 3, connected 2, failed 1
//     1 failure (LINECALLSTATE_BUSY)
//   Longest quiet stretch: 01:10:00 to 04:42:13 (3 h 32 min)
//   Deaf: none
#pragma once

#include "Night.h"

#include <string>
#include <vector>

namespace night {

std::vector<std::string> Summary(const Night& night);

// "3 h 32 min", "4 min 10 s", "12 s".
std::string Duration(std::int64_t ms);

} // namespace night
