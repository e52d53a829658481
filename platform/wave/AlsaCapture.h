// The real microphone: an ALSA capture device (any PCM name, "default" unless the profile names
// another) opened for 8000 Hz, unsigned 8-bit, mono, read a whole period (125 ms) at a time; its buffer
// holds about a second. Read sleeps on the device's descriptors with its wake-up threshold at one
// period, so the reading thread wakes about once per period, and reads only whole periods: a look that
// finds less sleeps again, one that finds several returns them one after another at once. A device that
// says it is ready with less than a period there (the PulseAudio plugin does while its stream starts) is
// looked at again a period later rather than at once. An overrun (the reader held up for longer
// than the buffer, say by a stalled machine) is recovered from and recording goes on; an error that
// cannot be recovered, or a device that delivers no whole period for five seconds while recording, is
// returned from Read as a failure (MMSYSERR_NODRIVER when the device has gone, MMSYSERR_ERROR
// otherwise). A device that cannot give exactly this format is refused at open with WAVERR_BADFORMAT
// rather than recorded at another rate.
#pragma once

#include <alsa/asoundlib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <poll.h>

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
    enum class Waited { Ready, Woken, DeviceError };

    AlsaCapture(std::string device, snd_pcm_t* pcm, int wakeFd);
    ReadResult Failure(int err, const char* what);
    // Sleeps until the device has a period, Wake is called, or `timeout` has passed.
    Waited WaitForSound(std::chrono::steady_clock::duration timeout);
    // Sleeps for `timeout` unless Wake is called meanwhile (false then).
    bool Doze(std::chrono::steady_clock::duration timeout);

    const std::string device_;
    snd_pcm_t* const pcm_;
    const int wakeFd_; // an eventfd that Wake writes
    std::atomic<unsigned> overruns_{0};
    std::vector<pollfd> fds_; // the wake-up eventfd, then the device's descriptors; the reader's
    std::chrono::steady_clock::time_point lastPeriod_; // when Read last returned sound; the reader's
};

} // namespace platform::wave
