// The microphone's indicator: whether the input device records, as the status area shows it. The wave
// calls that get a device recording (waveInOpen, waveInPrepareHeader, waveInAddBuffer, waveInStart) and
// the device itself report here. Any of those calls failing, or the open device failing while it
// records (unplugged, its sound server gone), raises status::Indicator::Microphone with "No microphone"
// and the failed call with its result code's name; a successful waveInStart clears it. Stopping,
// resetting, unpreparing and closing neither raise nor clear it: a deliberate stop is no fault, and a
// device closed after a fault still hears nothing.
//
// A failed call on a handle other than the open device, while that device records, says nothing about
// the microphone in use and is left alone; so is a failed call on a device whose loss has been told.
// Any thread, outside the service's and the devices' locks.
#pragma once

#include <string>

#include "platform/wave/WaveApi.h"

namespace platform::wave {

// `call` ("waveInOpen") returned `rc` for `device` (null for waveInOpen). Passes `rc` through.
MMRESULT NoteRecordingCall(const char* call, HWAVEIN device, MMRESULT rc);

// The open device failed with `code` while it recorded; `detail` says how.
void NoteDeviceLost(MMRESULT code, const std::string& detail);

} // namespace platform::wave
