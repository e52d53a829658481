// The `status` device command: what the monitor cannot do right now, one line per raised indicator
// ("microphone: No microphone; waveInOpen: MMSYSERR_NODRIVER"), or "all well" when none is raised.
#pragma once

namespace platform::automation {

void RegisterStatusCommand();

} // namespace platform::automation
