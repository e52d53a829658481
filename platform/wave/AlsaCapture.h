// The real microphone: an ALSA capture device (any PCM name, "default" unless the profile names
// another) opened for 8000 Hz, unsigned 8-bit, mono, read a whole period (125 ms) at a time; its buffer
// holds about a second. Read looks at the device once per period by a timer of its own rather than on
// the device's wake-ups: a sound server's client library (the PulseAudio plugin) signals the device for
// every packet it receives, and answering each would wake the capture thread about twice per period. A
// look that finds less than a period waits for the next tick, one that finds several returns them one
// after another at once. An overrun (the capture thread held up for longer than that, say by a stalled
// machine) is recovered from and recording goes on; an error that cannot be recovered, or a device that
// delivers nothing for five seconds while recording, is returned from Read as a failure (MMSYSERR_NODRIVER
// when the device has gone, MMSYSERR_ERROR otherwise). A device that cannot give exactly this format is
// refused at open with WAVERR_BADFORMAT rather than recorded at another rate.
#pragma once

#include <alsa/asoundlib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "platform/wave/CaptureSource.h"

namespace platform::wave {

class AlsaCapture : public CaptureSource {
public:
    // Opens and configures `device`; null with `error` and `detail` set on failure.
    static std::unique_ptr<AlsaCapture> Open(const std::string& device, MMRESULT* error, std::string* detail);
    ~AlsaCapture() override;

    MMRESULT Start(std::string* detail) override;
    void Stop() override;
    ReadResult Read(BYTE* out, std::size_t max) override;
    void Wake() override;
    std::string Describe() const override;

private:
    AlsaCapture(std::string device, snd_pcm_t* pcm, int wakeFd);
    ReadResult Failure(int err, const char* what);
    // Waits for the next tick of the capture thread's clock; false when Wake was called meanwhile.
    bool WaitForTick();

    const std::string device_;
    snd_pcm_t* const pcm_;
    const int wakeFd_; // an eventfd that Wake writes
    std::atomic<unsigned> overruns_{0};
    std::chrono::steady_clock::time_point nextTick_; // capture thread only
    unsigned idleTicks_ = 0;                         // ticks in a row without a whole period
};

} // namespace platform::wave
