#include "platform/tapi/sip/CallAudio.h"

#include "platform/wave/WaveService.h"

#include <chrono>
#include <cstdio>

namespace platform::tapi::sipline {
namespace {

using Steady = std::chrono::steady_clock;
constexpr auto kFrameTime = std::chrono::milliseconds(20);
constexpr auto kMaxLag = std::chrono::milliseconds(200);

void Complain(const std::string& what) {
    std::fprintf(stderr, "lullwatch: call sound: %s; the far end hears silence\n", what.c_str());
}

} // namespace

CallAudio::CallAudio(std::function<void(const Frame&)> frame) : frame_(std::move(frame)) {
    thread_ = std::thread([this] { Run(); });
}

CallAudio::~CallAudio() {
    stopping_.store(true, std::memory_order_release);
    {
        std::lock_guard lock(mutex_);
        if (source_) {
            source_->Wake();
        }
    }
    wake_.notify_all();
    thread_.join();
}

void CallAudio::Run() {
    std::string detail;
    std::shared_ptr<wave::CaptureSource> source = wave::WaveService::Instance().OpenSource(&detail);
    if (source && source->Start(&detail) != MMSYSERR_NOERROR) {
        source.reset();
    }
    if (!source) {
        Complain("the microphone cannot be opened (" + detail + ")");
    }
    {
        std::lock_guard lock(mutex_);
        source_ = source;
    }
    auto due = Steady::now();
    while (!Stopping()) {
        Frame frame;
        frame.fill(128);
        for (std::size_t got = 0; source && got < frame.size() && !Stopping();) {
            const wave::ReadResult read = source->Read(frame.data() + got, frame.size() - got);
            if (read.error != MMSYSERR_NOERROR) {
                Complain("the microphone failed (" + read.detail + ")");
                std::lock_guard lock(mutex_);
                source_.reset();
                source.reset();
                frame.fill(128);
                break;
            }
            got += read.bytes;
        }
        // Real-time pacing: a source that runs ahead (a sped-up device clock) is read no faster than
        // the far end plays, and one that fell behind catches up without a burst.
        due += kFrameTime;
        const auto now = Steady::now();
        if (now > due + kMaxLag) {
            due = now;
        }
        {
            std::unique_lock lock(mutex_);
            wake_.wait_until(lock, due, [this] { return Stopping(); });
        }
        if (Stopping()) {
            break;
        }
        frame_(frame);
    }
    if (source) {
        source->Stop();
    }
    std::lock_guard lock(mutex_);
    source_.reset();
}

} // namespace platform::tapi::sipline
