// The real microphone: an ALSA capture device (any PCM name, "default" unless the profile names
// another) opened for 8000 Hz, unsigned 8-bit, mono. The device paces the reads; its buffer holds
// about a second. An overrun (the capture thread held up for longer than that, say by a stalled
// machine) is recovered from and recording goes on; an error that cannot be recovered, or a device that
// delivers nothing for five seconds while recording, is returned from Read as a failure (MMSYSERR_NODRIVER
// when the device has gone, MMSYSERR_ERROR otherwise). A device that cannot give exactly this format is
// refused at open with WAVERR_BADFORMAT rather than recorded at another rate.
#pragma once

#include <alsa/asoundlib.h>

#include <atomic>
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
    enum class WaitResult { Ready, Woken, Stalled, Error };

    ReadResult Failure(int err, const char* what);
    // Waits until the device has sound, reports an error, Wake is called, or five seconds pass.
    WaitResult Wait();

    const std::string device_;
    snd_pcm_t* const pcm_;
    const int wakeFd_; // an eventfd that Wake writes
    std::atomic<unsigned> overruns_{0};
};

} // namespace platform::wave
