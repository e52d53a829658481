// Fault injection for the wave calls: a call can be made to fail with a chosen result code, either
// once (the next call fails, later ones run normally), a number of times (the next n calls fail) or
// always (until cleared). An injected failure
// happens before the call does anything: the device and the buffers are left as they were.
//
// Rule words, as the profile's `fail` key and the automation command "sound fail" take them:
//   <call> <code> [once|always|<n>]
// <call> is open, prepare, add, start, stop, reset, unprepare, close, getvolume or setvolume, or the
// full API name (waveInOpen, waveInAddBuffer, waveOutGetVolume, ...), in any case; or device: the
// open input device itself fails while recording, as an unplugged microphone would (see WaveApi.h,
// device failure; MMSYSERR_NODRIVER reports a device that has gone, any other code an error); <code> is a
// number (decimal or 0x hex) or a result code's name, with or without its prefix (MMSYSERR_NODRIVER,
// nodriver, 6); <n> is a count from 1 up. Without once, always or a count, the rule holds until cleared.
#pragma once

#include <array>
#include <mutex>
#include <string>
#include <vector>

#include "platform/wave/WaveApi.h"

namespace platform::wave {

enum class WaveCall {
    Open,
    Prepare,
    AddBuffer,
    Start,
    Stop,
    Reset,
    Unprepare,
    Close,
    GetVolume,
    SetVolume,
    Device,
    Count
};

struct FaultRule {
    WaveCall call = WaveCall::Open;
    MMRESULT code = MMSYSERR_ERROR;
    unsigned times = 0; // how many calls fail (once: 1); 0: every call until cleared
};

// Parses rule words into `rule`; false with `error` on a bad word.
bool ParseFaultRule(const std::vector<std::string>& words, FaultRule* rule, std::string* error);

// The short name of a call ("add").
std::string CallName(WaveCall call);

class FaultPlan {
public:
    void Set(const FaultRule& rule); // replaces the call's rule
    void Clear(WaveCall call);
    void ClearAll();

    // The code `call` must fail with now, or MMSYSERR_NOERROR; a counted rule is used up by this.
    MMRESULT Take(WaveCall call);

    // One line per rule ("add MMSYSERR_NODRIVER once", "open 4 3 times"), or "none".
    std::string Describe() const;

private:
    struct Slot {
        bool active = false;
        FaultRule rule;
    };
    mutable std::mutex mutex_;
    std::array<Slot, static_cast<std::size_t>(WaveCall::Count)> slots_;
};

} // namespace platform::wave
