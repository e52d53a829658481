// Records every change of the monitor's indicators (microphone, line, sleep inhibitor): "fault" when one
// is raised or reworded, "recovered" when it is cleared.
#pragma once

namespace platform::record {

void WatchIndicators();
void UnwatchIndicators();

} // namespace platform::record
