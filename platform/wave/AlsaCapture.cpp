#include "platform/wave/AlsaCapture.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>

namespace platform::wave {
namespace {

constexpr unsigned kRate = 8000;
constexpr snd_pcm_uframes_t kPeriod =
    1000; // 125 ms: the shortest capture buffer, so one wake-up per buffer at most
constexpr snd_pcm_uframes_t kBuffer = 8192; // about 1 s of slack before an overrun
// The capture thread looks at the device once per period, by its own clock.
constexpr std::chrono::milliseconds kTick{1000 * kPeriod / kRate};
// Looks without a whole period in 5 s: the device is taken for lost.
constexpr unsigned kStallTicks = 5000 / kTick.count();

MMRESULT OpenErrorCode(int err) {
    switch (-err) {
    case EBUSY:
        return MMSYSERR_ALLOCATED;
    case ENOENT:
        return MMSYSERR_BADDEVICEID;
    case ENOMEM:
        return MMSYSERR_NOMEM;
    default:
        return MMSYSERR_NODRIVER;
    }
}

std::string AlsaText(const char* what, int err) {
    return std::string(what) + ": " + snd_strerror(err);
}

// Applies the one format the device records; false with a reason when the device cannot.
bool Configure(snd_pcm_t* pcm, MMRESULT* error, std::string* detail) {
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    int err = snd_pcm_hw_params_any(pcm, hw);
    unsigned rate = kRate;
    snd_pcm_uframes_t period = kPeriod;
    snd_pcm_uframes_t buffer = kBuffer;
    *error = WAVERR_BADFORMAT;
    if (err < 0 || (err = snd_pcm_hw_params_set_rate_resample(pcm, hw, 1)) < 0 ||
        (err = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
        (err = snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_U8)) < 0 ||
        (err = snd_pcm_hw_params_set_channels(pcm, hw, 1)) < 0 ||
        (err = snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, nullptr)) < 0) {
        *detail = AlsaText("the device cannot record 8000 Hz unsigned 8-bit mono", err);
        return false;
    }
    if (rate != kRate) {
        *detail = "the device offers " + std::to_string(rate) + " Hz instead of 8000 Hz";
        return false;
    }
    *error = MMSYSERR_ERROR;
    if ((err = snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr)) < 0 ||
        (err = snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer)) < 0 ||
        (err = snd_pcm_hw_params(pcm, hw)) < 0) {
        *detail = AlsaText("cannot set the device's buffering", err);
        return false;
    }
    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    if ((err = snd_pcm_sw_params_current(pcm, sw)) < 0 ||
        (err = snd_pcm_sw_params_set_avail_min(pcm, sw, period)) < 0 ||
        (err = snd_pcm_sw_params(pcm, sw)) < 0) {
        *detail = AlsaText("cannot set the device's wake-up threshold", err);
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<AlsaCapture> AlsaCapture::Open(const std::string& device, MMRESULT* error,
                                               std::string* detail) {
    snd_pcm_t* pcm = nullptr;
    const int err = snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (err < 0) {
        *error = OpenErrorCode(err);
        *detail = AlsaText(("cannot open the ALSA capture device '" + device + "'").c_str(), err);
        return nullptr;
    }
    if (!Configure(pcm, error, detail)) {
        *detail = "ALSA device '" + device + "': " + *detail;
        snd_pcm_close(pcm);
        return nullptr;
    }
    const int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0) {
        *error = MMSYSERR_NOMEM;
        *detail = "cannot make an eventfd";
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::unique_ptr<AlsaCapture>(new AlsaCapture(device, pcm, wakeFd));
}

AlsaCapture::AlsaCapture(std::string device, snd_pcm_t* pcm, int wakeFd)
    : device_(std::move(device)), pcm_(pcm), wakeFd_(wakeFd) {}

AlsaCapture::~AlsaCapture() {
    snd_pcm_close(pcm_);
    close(wakeFd_);
}

MMRESULT AlsaCapture::Start(std::string* detail) {
    nextTick_ = std::chrono::steady_clock::now() + kTick;
    idleTicks_ = 0;
    int err = snd_pcm_prepare(pcm_);
    if (err >= 0) {
        err = snd_pcm_start(pcm_);
    }
    if (err < 0) {
        *detail = AlsaText(("cannot start the ALSA device '" + device_ + "'").c_str(), err);
        return err == -ENODEV ? MMSYSERR_NODRIVER : MMSYSERR_ERROR;
    }
    return MMSYSERR_NOERROR;
}

void AlsaCapture::Stop() {
    snd_pcm_drop(pcm_);
}

ReadResult AlsaCapture::Failure(int err, const char* what) {
    ReadResult r;
    // A device that is unplugged, or a sound server that has gone away, is a device that is no more.
    const bool gone = err == -ENODEV || err == -ENXIO || err == -EBADFD || err == -EIO || err == -ENOTCONN;
    r.error = gone ? MMSYSERR_NODRIVER : MMSYSERR_ERROR;
    r.detail = AlsaText(("ALSA device '" + device_ + "': " + what).c_str(), err);
    return r;
}

ReadResult AlsaCapture::Read(BYTE* out, std::size_t max) {
    for (;;) {
        // Whole periods only: less than one waits for the next tick.
        const snd_pcm_sframes_t avail = snd_pcm_avail_update(pcm_);
        const snd_pcm_sframes_t got =
            avail < 0 ? avail
                      : (static_cast<std::size_t>(avail) < max ? -EAGAIN : snd_pcm_readi(pcm_, out, max));
        if (got > 0) {
            idleTicks_ = 0;
            ReadResult r;
            r.bytes = static_cast<std::size_t>(got);
            return r;
        }
        const int err = static_cast<int>(got);
        if (err == -EPIPE || err == -ESTRPIPE) {
            overruns_.fetch_add(1, std::memory_order_relaxed);
            int rc = snd_pcm_recover(pcm_, err, 1);
            if (rc >= 0) {
                rc = snd_pcm_start(pcm_);
            }
            if (rc < 0) {
                return Failure(rc, "cannot recover from an overrun");
            }
            continue;
        }
        if (got != 0 && err != -EAGAIN) {
            return Failure(err, "read failed");
        }
        // Less than a period there: look again at the next tick.
        if (++idleTicks_ > kStallTicks) {
            ReadResult r;
            r.error = MMSYSERR_NODRIVER;
            r.detail = "ALSA device '" + device_ + "' has delivered no sound for 5 s";
            return r;
        }
        if (!WaitForTick()) {
            return ReadResult{};
        }
    }
}

bool AlsaCapture::WaitForTick() {
    const auto now = std::chrono::steady_clock::now();
    if (nextTick_ + kTick < now) {
        nextTick_ = now; // held up for more than a period: start the beat again from now
    }
    const auto wait = std::max(nextTick_ - now, std::chrono::steady_clock::duration::zero());
    nextTick_ += kTick;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    const timespec timeout{static_cast<time_t>(seconds.count()),
                           static_cast<long>(std::chrono::nanoseconds(wait - seconds).count())};
    pollfd fd{wakeFd_, POLLIN, 0};
    if (ppoll(&fd, 1, &timeout, nullptr) > 0 && (fd.revents & POLLIN) != 0) {
        eventfd_t value = 0;
        eventfd_read(wakeFd_, &value);
        return false;
    }
    return true;
}

void AlsaCapture::Wake() {
    eventfd_write(wakeFd_, 1);
}

std::string AlsaCapture::Describe() const {
    return "alsa \"" + device_ + "\" (overruns " + std::to_string(overruns_.load(std::memory_order_relaxed)) +
           ")";
}

} // namespace platform::wave
