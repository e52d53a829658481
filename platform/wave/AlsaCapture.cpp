#include "platform/wave/AlsaCapture.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace platform::wave {
namespace {

constexpr unsigned kRate = 8000;
constexpr snd_pcm_uframes_t kPeriod =
    1000; // 125 ms: the shortest capture buffer, so one wake-up per buffer at most
constexpr snd_pcm_uframes_t kBuffer = 8192; // about 1 s of slack before an overrun
constexpr std::chrono::milliseconds kPeriodTime{1000 * kPeriod / kRate};
// No whole period in 5 s: the device is taken for lost.
constexpr std::chrono::seconds kStall{5};

// A poll timeout in whole milliseconds, rounded up so that a wait never ends just short of its end.
int PollMs(std::chrono::steady_clock::duration d) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
    return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, 60000));
}

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
    lastPeriod_ = std::chrono::steady_clock::now();
    int err = snd_pcm_prepare(pcm_);
    if (err >= 0) {
        err = snd_pcm_start(pcm_);
    }
    if (err >= 0) {
        const int count = snd_pcm_poll_descriptors_count(pcm_);
        fds_.assign(1 + static_cast<std::size_t>(std::max(count, 0)), pollfd{wakeFd_, POLLIN, 0});
        if (count > 0) {
            err = std::min(snd_pcm_poll_descriptors(pcm_, fds_.data() + 1, static_cast<unsigned>(count)), 0);
        }
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
    bool deviceError = false;
    for (;;) {
        // Whole periods only: less than one sleeps until the device has more.
        const snd_pcm_sframes_t avail = snd_pcm_avail_update(pcm_);
        const snd_pcm_sframes_t got =
            avail < 0 ? avail
                      : (static_cast<std::size_t>(avail) < max ? -EAGAIN : snd_pcm_readi(pcm_, out, max));
        if (got > 0) {
            lastPeriod_ = std::chrono::steady_clock::now();
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
            deviceError = false;
            continue;
        }
        if (got != 0 && err != -EAGAIN) {
            return Failure(err, "read failed");
        }
        if (deviceError) {
            return Failure(-EIO, "the device reports an error but has nothing to read");
        }
        const auto waited = std::chrono::steady_clock::now() - lastPeriod_;
        if (waited >= kStall) {
            ReadResult r;
            r.error = MMSYSERR_NODRIVER;
            r.detail = "ALSA device '" + device_ + "' has delivered no sound for 5 s";
            return r;
        }
        switch (WaitForSound(kStall - waited)) {
        case Waited::Woken:
            return ReadResult{};
        case Waited::DeviceError:
            deviceError = true; // the next read tells what happened: an overrun, or a lost device
            break;
        case Waited::Ready:
            break;
        }
    }
}

AlsaCapture::Waited AlsaCapture::WaitForSound(std::chrono::steady_clock::duration timeout) {
    for (auto& fd : fds_) {
        fd.revents = 0;
    }
    const int n = poll(fds_.data(), fds_.size(), PollMs(timeout));
    if (n < 0 && errno != EINTR) {
        return Waited::DeviceError;
    }
    if (n <= 0) {
        return Waited::Ready; // the caller looks again, and counts the time without sound
    }
    if ((fds_[0].revents & POLLIN) != 0) {
        eventfd_t value = 0;
        eventfd_read(wakeFd_, &value);
        return Waited::Woken;
    }
    unsigned short revents = 0;
    if (fds_.size() < 2 ||
        snd_pcm_poll_descriptors_revents(pcm_, fds_.data() + 1, static_cast<unsigned>(fds_.size() - 1),
                                         &revents) < 0 ||
        (revents & (POLLERR | POLLNVAL | POLLHUP)) != 0) {
        return Waited::DeviceError;
    }
    if ((revents & POLLIN) != 0) {
        return Waited::Ready;
    }
    // Ready by its descriptors but not by the device: looking again at once would spin.
    return Doze(std::min<std::chrono::steady_clock::duration>(timeout, kPeriodTime)) ? Waited::Ready
                                                                                     : Waited::Woken;
}

bool AlsaCapture::Doze(std::chrono::steady_clock::duration timeout) {
    pollfd fd{wakeFd_, POLLIN, 0};
    if (poll(&fd, 1, PollMs(timeout)) > 0 && (fd.revents & POLLIN) != 0) {
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
