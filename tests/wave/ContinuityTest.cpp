// Nothing recorded is lost while the program holds its one buffer: the device keeps what arrives in a
// ring and fills the next buffer from it first; a ring that overflows drops its oldest bytes and
// counts them where `sound state` shows them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "WaveTestSupport.h"
#include "platform/wave/SampleRing.h"
#include "platform/wave/SoundCommand.h"
#include "platform/win/Clock.h"

namespace {

using namespace wavetest;
using platform::wave::SampleRing;
using platform::wave::WaveService;

TEST(SampleRing, KeepsTheNewestBytesInOrder) {
    struct Case {
        const char* name;
        std::vector<std::size_t> writes; // lengths of successive writes of counting bytes
        std::size_t readFirst;           // bytes read after the first write
        std::size_t dropped;             // by all writes together
        std::vector<BYTE> left;          // what the ring holds at the end, oldest first
    };
    const Case cases[] = {
        {"fits", {3, 2}, 0, 0, {0, 1, 2, 3, 4}},
        {"wraps round after a read", {6, 3}, 4, 0, {4, 5, 6, 7, 8}},
        {"overflow drops the oldest", {5, 3}, 0, 2, {2, 3, 4, 5, 6, 7}},
        {"a write longer than the ring", {2, 9}, 0, 5, {5, 6, 7, 8, 9, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SampleRing ring(6);
        BYTE next = 0;
        std::size_t dropped = 0;
        for (std::size_t i = 0; i < c.writes.size(); ++i) {
            std::vector<BYTE> bytes(c.writes[i]);
            for (auto& b : bytes) {
                b = next++;
            }
            dropped += ring.Write(bytes.data(), bytes.size());
            if (i == 0 && c.readFirst > 0) {
                std::vector<BYTE> out(c.readFirst);
                ASSERT_EQ(ring.Read(out.data(), out.size()), c.readFirst);
                EXPECT_EQ(out[0], 0);
            }
        }
        EXPECT_EQ(dropped, c.dropped);
        std::vector<BYTE> left(8);
        left.resize(ring.Read(left.data(), left.size()));
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(ring.Size(), 0u);
    }
}

// The recording source on a clock four times faster than real time: slow enough that a loaded machine
// (sanitizers, two cores) keeps up with it, as the simulated microphone skips what it falls a second
// behind on.
class ContinuityTest : public ::testing::Test {
protected:
    void SetUp() override { platform::Clock::SetFactor(4); }
    void TearDown() override { platform::Clock::SetFactor(1); }

    // Makes `sound` the recording source; the recorder is then to be started.
    void Play(const std::vector<BYTE>& sound) {
        const std::string path = dir_.Path() + "/sound.wav";
        WriteU8Wav(path, sound);
        Configure({{"source", "recording"}, {"recording", path}});
        recorder_ = std::make_unique<Recorder>(log_);
    }

    void ExpectEveryByte(std::size_t bytes, std::size_t buffers) {
        const std::vector<BYTE> noise = NoiseBytes(20 * 8000, 7);
        std::vector<BYTE> sound(4 * 8000, 128); // a lead-in, so that recording begins before the noise
        sound.insert(sound.end(), noise.begin(), noise.end());
        Play(sound);
        recorder_->Start(1, bytes);
        EXPECT_TRUE(WaitUntil([&] { return Cover(log_.Events(), noise).found; }))
            << "the recording was not captured unchanged and whole";
        EXPECT_EQ(WaveService::Instance().State().dropped, 0u);
        recorder_->StopAndClose();
        const Coverage got = Cover(log_.Events(), noise);
        EXPECT_GE(got.buffers, buffers);
        EXPECT_LE(got.buffers, buffers + 1);
    }

    TempDir dir_;
    CallbackLog log_;
    std::unique_ptr<Recorder> recorder_;
};

// At averaging 1 and 8: 20 s of sound through one cycling buffer of `bytes`.
TEST_F(ContinuityTest, OneCyclingBufferGetsEveryByteOfTheRecordingAtAveraging1) {
    ExpectEveryByte(1000, 160);
}

TEST_F(ContinuityTest, OneCyclingBufferGetsEveryByteOfTheRecordingAtAveraging8) {
    ExpectEveryByte(8000, 20);
}

TEST_F(ContinuityTest, AStalledCallbackLosesTheOldestSoundAndItIsCounted) {
    const std::vector<BYTE> noise = NoiseBytes(16 * 8000, 11);
    Play(noise);
    // What the callback shares with the test; the callback owns it, as it may run after the test ends
    // (WIM_CLOSE is logged before the callback returns).
    struct Stall {
        std::function<void(const Event&)> handBack;
        std::atomic<int> buffers{0};
        std::atomic<std::uint64_t> droppedBeforeSecond{0};
        std::mutex mutex;
        std::condition_variable changed;
        bool release = false;
    };
    auto stall = std::make_shared<Stall>();
    stall->handBack = log_.onEvent;
    log_.onEvent = [stall](const Event& e) {
        if (e.message == WIM_DATA) {
            const int n = ++stall->buffers;
            if (n == 1) { // hold the one buffer until the test sees the ring drop sound
                std::unique_lock lock(stall->mutex);
                stall->changed.wait(lock, [&] { return stall->release; });
            } else if (n == 2) {
                stall->droppedBeforeSecond = WaveService::Instance().State().dropped;
            }
        }
        stall->handBack(e);
    };
    recorder_->Start(1, 1000);
    EXPECT_TRUE(WaitUntil([] { return WaveService::Instance().State().dropped > 0; }));
    {
        std::lock_guard lock(stall->mutex);
        stall->release = true;
    }
    stall->changed.notify_all();
    ASSERT_TRUE(log_.WaitFor(8, WIM_DATA));
    const std::string state = platform::wave::RunSoundCommand({"state"}).text;
    recorder_->StopAndClose();

    const std::uint64_t dropped = stall->droppedBeforeSecond;
    EXPECT_GT(dropped, 0u);
    const auto shown = state.find(" bytes dropped");
    ASSERT_NE(shown, std::string::npos) << state;
    const auto number = state.rfind(' ', shown - 1);
    EXPECT_GE(std::stoull(state.substr(number + 1, shown - number - 1)), dropped) << state;
    // The second buffer continues the first but for the bytes dropped; the rest follow without a gap.
    std::vector<std::size_t> offsets;
    for (const auto& e : log_.Events()) {
        if (e.message == WIM_DATA && e.bytes == 1000 && offsets.size() < 8) {
            const auto at = std::search(noise.begin(), noise.end(), e.data.begin(), e.data.end());
            ASSERT_NE(at, noise.end());
            offsets.push_back(static_cast<std::size_t>(at - noise.begin()));
        }
    }
    ASSERT_EQ(offsets.size(), 8u);
    EXPECT_EQ(offsets[1], offsets[0] + 1000 + dropped);
    for (std::size_t i = 2; i < offsets.size(); ++i) {
        EXPECT_EQ(offsets[i], offsets[i - 1] + 1000) << i;
    }
}

} // namespace
