// Where an open input device gets its sound from: the ALSA microphone, a recording or the generator.
// A source is opened with the device (waveInOpen) and closed with it. All its calls but Wake are made
// by the device's reader (its callback thread, or its capture thread standing in), one at a time; Wake may be
// called from any thread at any time. Every source delivers 8000 Hz, unsigned 8-bit, mono samples (silence at
// 128) at the pace of its clock: the ALSA device's own, or the platform's device clock for the simulated
// ones.
#pragma once

#include <cstddef>
#include <string>

#include "platform/wave/WaveApi.h"

namespace platform::wave {

// What Read gave: `bytes` samples, or a failure (`error` not MMSYSERR_NOERROR, `detail` says why).
struct ReadResult {
    std::size_t bytes = 0;
    MMRESULT error = MMSYSERR_NOERROR;
    std::string detail;
};

class CaptureSource {
public:
    virtual ~CaptureSource() = default;

    // Begins recording: samples from now on are what Read returns next. Returns MMSYSERR_NOERROR or
    // a failure code, with `detail` saying why.
    virtual MMRESULT Start(std::string* detail) = 0;

    // Stops recording; sound until the next Start is not kept.
    virtual void Stop() = 0;

    // Waits until at least one sample is there (a simulated source waits until all `max` are due) and
    // copies up to `max` of them to `out`. Returns 0 bytes early when Wake was called since the last
    // Read began.
    virtual ReadResult Read(BYTE* out, std::size_t max) = 0;

    // Makes a Read in progress (or the next one) return at once.
    virtual void Wake() = 0;

    // One line for the automation channel: what the source is.
    virtual std::string Describe() const = 0;
};

} // namespace platform::wave
