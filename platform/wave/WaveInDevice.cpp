#include "platform/wave/WaveInDevice.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/wave/MicrophoneIndicator.h"

namespace platform::wave {
namespace {

// One read of the source: 125 ms, the ALSA period and the shortest buffer the program queues, so the
// reader wakes once per period and a buffer of one period is handed over in one piece.
constexpr std::size_t kPeriod = 1000;
// What the device keeps while the program holds its buffers: 4 s, far longer than a callback takes.
constexpr std::size_t kRingBytes = 32000;

bool Usable(const WAVEHDR* h) {
    return h->lpData != nullptr && h->dwBufferLength > 0;
}

} // namespace

WaveInDevice::WaveInDevice(HWAVEIN handle, std::unique_ptr<CaptureSource> source, WAVEINPROC proc,
                           DWORD_PTR instance, std::function<ErrorHook()> errorHook,
                           std::function<MMRESULT()> injectedFailure)
    : handle_(handle), source_(std::move(source)), errorHook_(std::move(errorHook)),
      injectedFailure_(std::move(injectedFailure)),
      callbacks_(std::make_shared<CallbackThread>(handle, proc, instance)),
      wakeCapture_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), ring_(kRingBytes), chunk_(kPeriod) {}

WaveInDevice::~WaveInDevice() {
    if (capture_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            queue_.clear();
        }
        Close();
    }
    if (wakeCapture_ >= 0) {
        close(wakeCapture_);
    }
}

void WaveInDevice::Begin() {
    callbacks_->Post(WIM_OPEN, 0);
    capture_ = std::thread([this] { StandbyLoop(); });
    callbacks_->Attach([this] { return ReadTurn(Reader::CallbackThread); });
}

MMRESULT WaveInDevice::Prepare(WAVEHDR* header) {
    std::lock_guard lock(mutex_);
    if (closing_) {
        return MMSYSERR_INVALHANDLE;
    }
    if (failed_) {
        return MMSYSERR_NODRIVER;
    }
    if (!Usable(header)) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::AddBuffer(WAVEHDR* header) {
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        if (failed_) {
            return MMSYSERR_NODRIVER;
        }
        if (!Usable(header)) {
            return MMSYSERR_INVALPARAM;
        }
        if ((header->dwFlags & WHDR_PREPARED) == 0) {
            return WAVERR_UNPREPARED;
        }
        if ((header->dwFlags & WHDR_INQUEUE) != 0) {
            return WAVERR_STILLPLAYING;
        }
        header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
        header->dwBytesRecorded = 0;
        queue_.push_back(header);
        DrainRing();
    }
    callbacks_->WakeUp();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::Start() {
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        if (failed_) {
            return MMSYSERR_NODRIVER;
        }
        if (started_) {
            return MMSYSERR_NOERROR;
        }
        started_ = true;
        ++generation_;
    }
    callbacks_->Kick();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        started_ = false;
        ring_.Clear();
        if (!queue_.empty() && queue_.front()->dwBytesRecorded > 0) {
            WAVEHDR* partial = queue_.front();
            queue_.pop_front();
            Complete(partial);
        }
        source_->Wake();
    }
    callbacks_->WakeUp();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::Reset() {
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        started_ = false;
        ring_.Clear();
        while (!queue_.empty()) {
            WAVEHDR* header = queue_.front();
            queue_.pop_front();
            Complete(header);
        }
        source_->Wake();
    }
    callbacks_->WakeUp();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::Unprepare(WAVEHDR* header) {
    std::lock_guard lock(mutex_);
    if (closing_) {
        return MMSYSERR_INVALHANDLE;
    }
    if ((header->dwFlags & WHDR_INQUEUE) != 0) {
        return WAVERR_STILLPLAYING;
    }
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::Close() {
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        if (!queue_.empty()) {
            return WAVERR_STILLPLAYING;
        }
        closing_ = true;
        started_ = false;
        source_->Wake();
    }
    if (wakeCapture_ >= 0) {
        eventfd_write(wakeCapture_, 1);
    }
    capture_.join();      // the capture thread sees `closing_` at once and never runs a callback
    callbacks_->Detach(); // waits for a read in progress (the source was woken), never for a callback
    std::unique_ptr<CaptureSource> closed;
    {
        std::lock_guard lock(mutex_);
        closed = std::move(source_);
    }
    if (running_) {
        closed->Stop(); // nobody reads any more: the reader's state is ours
    }
    closed.reset(); // closes the ALSA device outside the lock
    callbacks_->Post(WIM_CLOSE, 0);
    CallbackThread::Retire(std::move(callbacks_));
    return MMSYSERR_NOERROR;
}

DeviceState WaveInDevice::State() const {
    std::lock_guard lock(mutex_);
    DeviceState state;
    state.open = !closing_;
    state.recording = started_;
    state.failed = failed_;
    state.queued = queue_.size();
    if (!queue_.empty()) {
        state.headRecorded = queue_.front()->dwBytesRecorded;
        state.headLength = queue_.front()->dwBufferLength;
    }
    state.ringed = ring_.Size();
    state.dropped = dropped_;
    return state;
}

std::string WaveInDevice::Describe() const {
    const DeviceState state = State();
    std::lock_guard lock(mutex_);
    std::string text = failed_ ? "failed (" + failure_ + ")" : state.recording ? "recording" : "stopped";
    text += ", " + std::to_string(state.queued) + (state.queued == 1 ? " buffer" : " buffers") + " queued";
    if (state.queued > 0) {
        text += " (" + std::to_string(state.headRecorded) + " of " + std::to_string(state.headLength) +
                " bytes recorded)";
    }
    text += ", " + std::to_string(state.ringed) + " bytes waiting, " + std::to_string(state.dropped) +
            " bytes dropped";
    if (source_) {
        text += "; " + source_->Describe();
    }
    return text;
}

ReadResult WaveInDevice::ReadSource(BYTE* out, std::size_t max) {
    if (const MMRESULT injected = injectedFailure_()) {
        ReadResult failed;
        failed.error = injected;
        failed.detail = "injected device failure " + std::to_string(injected);
        return failed;
    }
    return source_->Read(out, max);
}

bool WaveInDevice::ReadTurn(Reader who) {
    bool want = false;
    unsigned generation = 0;
    {
        std::lock_guard lock(mutex_);
        if (closing_ || reader_ != Reader::None || (!started_ && !running_)) {
            return false;
        }
        reader_ = who;
        want = started_;
        generation = generation_;
    }
    // The turn is ours: running_, runningGeneration_, chunk_ and the source are ours until we give it up.
    const auto giveUp = [this] {
        std::lock_guard lock(mutex_);
        reader_ = Reader::None;
    };
    if (running_ && (!want || generation != runningGeneration_)) {
        source_->Stop(); // stopped, or stopped and started again since the last read
        running_ = false;
    }
    if (!want) {
        giveUp();
        return true;
    }
    if (!running_) {
        std::string detail;
        const MMRESULT rc = source_->Start(&detail);
        if (rc != MMSYSERR_NOERROR) {
            Fail(rc, detail); // still holding the turn, so nobody starts the source again meanwhile
            giveUp();
            return true;
        }
        running_ = true;
        runningGeneration_ = generation;
    }
    const ReadResult got = ReadSource(chunk_.data(), chunk_.size());
    if (got.error != MMSYSERR_NOERROR) {
        source_->Stop();
        running_ = false;
        Fail(got.error, got.detail);
        giveUp();
        return true;
    }
    {
        std::lock_guard lock(mutex_);
        if (got.bytes > 0 && started_ && generation_ == runningGeneration_) {
            Deliver(chunk_.data(), got.bytes);
        }
        reader_ = Reader::None;
    }
    callbacks_->WakeUp();
    return true;
}

void WaveInDevice::StandbyLoop() {
    pollfd fds[2] = {{wakeCapture_, POLLIN, 0}, {callbacks_->StandbyTimer(), POLLIN, 0}};
    const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
    for (;;) {
        // Without an eventfd (none could be made), look at `closing_` every so often instead.
        if (poll(fds, count, wakeCapture_ >= 0 ? -1 : 250) < 0 && errno != EINTR) {
            return;
        }
        eventfd_t value = 0;
        if (wakeCapture_ >= 0) {
            eventfd_read(wakeCapture_, &value);
        }
        if (count > 1) {
            std::uint64_t fired = 0;
            [[maybe_unused]] const auto n = read(fds[1].fd, &fired, sizeof fired);
        }
        {
            std::lock_guard lock(mutex_);
            if (closing_) {
                return;
            }
        }
        // A callback is held up: read in its place until it returns, then hand the reading back.
        bool read = false;
        while (callbacks_->Delivering() && ReadTurn(Reader::CaptureThread)) {
            read = true;
        }
        if (read) {
            callbacks_->Kick();
        }
    }
}

void WaveInDevice::Deliver(const BYTE* data, std::size_t n) {
    std::size_t at = 0;
    while (at < n && !queue_.empty()) {
        WAVEHDR* header = queue_.front();
        const std::size_t take =
            std::min<std::size_t>(header->dwBufferLength - header->dwBytesRecorded, n - at);
        std::memcpy(header->lpData + header->dwBytesRecorded, data + at, take);
        header->dwBytesRecorded += static_cast<DWORD>(take);
        at += take;
        if (header->dwBytesRecorded == header->dwBufferLength) {
            queue_.pop_front();
            Complete(header);
        }
    }
    if (at == n) {
        return;
    }
    const std::size_t dropped = ring_.Write(data + at, n - at);
    if (dropped == 0) {
        overflowing_ = false;
        return;
    }
    if (!overflowing_ && dropped_ == 0) {
        std::fprintf(stderr,
                     "lullwatch: no buffer came back to the sound input device for %zu s; the oldest sound "
                     "is being dropped (see 'sound state')\n",
                     ring_.Capacity() / 8000);
    }
    overflowing_ = true;
    dropped_ += dropped;
}

void WaveInDevice::DrainRing() {
    while (ring_.Size() > 0 && !queue_.empty()) {
        WAVEHDR* header = queue_.front();
        header->dwBytesRecorded +=
            static_cast<DWORD>(ring_.Read(reinterpret_cast<BYTE*>(header->lpData) + header->dwBytesRecorded,
                                          header->dwBufferLength - header->dwBytesRecorded));
        if (header->dwBytesRecorded == header->dwBufferLength) {
            queue_.pop_front();
            Complete(header);
        }
    }
}

void WaveInDevice::Complete(WAVEHDR* header) {
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    callbacks_->Queue(WIM_DATA, reinterpret_cast<DWORD_PTR>(header)); // woken once the lock is let go
}

void WaveInDevice::Fail(MMRESULT code, const std::string& detail) {
    std::fprintf(stderr, "lullwatch: the sound input device failed: %s\n", detail.c_str());
    NoteDeviceLost(code, detail);
    const ErrorHook hook = errorHook_();
    std::lock_guard lock(mutex_);
    failed_ = true;
    failure_ = detail;
    started_ = false;
    ring_.Clear();
    while (!queue_.empty()) {
        WAVEHDR* header = queue_.front();
        queue_.pop_front();
        Complete(header);
    }
    callbacks_->PostError(hook.proc, hook.instance,
                          code == MMSYSERR_NODRIVER ? MMSYSERR_NODRIVER : MMSYSERR_ERROR);
}

} // namespace platform::wave
