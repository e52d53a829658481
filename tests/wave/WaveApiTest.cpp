// The wave-input calls with the simulated microphone: what buffers come back, when, with which bytes,
// and the result codes of misuse.
#include <gtest/gtest.h>

#include "WaveTestSupport.h"

namespace {

using namespace wavetest;
using platform::wave::WaveService;

constexpr UINT kHdr = sizeof(WAVEHDR);

class WaveApiTest : public ::testing::Test {
protected:
    void SetUp() override { Configure({{"generator", "tone 440 64"}}); }

    void TearDown() override {
        if (device_ != nullptr) {
            waveInReset(device_);
            waveInClose(device_);
        }
        platform::wave::Shutdown();
    }

    void Open() {
        const WAVEFORMATEX f = Format8k();
        ASSERT_EQ(waveInOpen(&device_, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&CallbackLog::Proc),
                             log_.Instance(), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
    }

    void Queue(Buffer& b) {
        ASSERT_EQ(waveInPrepareHeader(device_, &b.header, kHdr), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(device_, &b.header, kHdr), MMSYSERR_NOERROR);
    }

    void CloseDevice() {
        ASSERT_EQ(waveInClose(device_), MMSYSERR_NOERROR);
        device_ = nullptr;
        ASSERT_TRUE(log_.WaitFor(1, WIM_CLOSE));
    }

    static bool HeadHasBytes() { return WaveService::Instance().State().headRecorded > 0; }

    HWAVEIN device_ = nullptr;
    CallbackLog log_;
};

TEST_F(WaveApiTest, FullBuffersComeBackInOrderWithTheSound) {
    Open();
    Buffer a(400), b(400);
    Queue(a);
    Queue(b);
    ASSERT_EQ(waveInStart(device_), MMSYSERR_NOERROR);
    ASSERT_TRUE(log_.WaitFor(2, WIM_DATA));
    EXPECT_EQ(a.header.dwFlags, WHDR_DONE | WHDR_PREPARED);
    EXPECT_EQ(b.header.dwFlags, WHDR_DONE | WHDR_PREPARED);
    ASSERT_EQ(waveInReset(device_), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInUnprepareHeader(device_, &a.header, kHdr), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInUnprepareHeader(device_, &b.header, kHdr), MMSYSERR_NOERROR);
    CloseDevice();

    const auto events = log_.Events();
    ASSERT_EQ(log_.Messages(), (std::vector<UINT>{WIM_OPEN, WIM_DATA, WIM_DATA, WIM_CLOSE}));
    EXPECT_EQ(events[1].header, &a.header);
    EXPECT_EQ(events[2].header, &b.header);
    for (int i : {1, 2}) {
        EXPECT_EQ(events[i].bytes, 400u);
        // A sine of peak 64 rises on average 2/pi * 64 = 40.7 above silence.
        EXPECT_NEAR(MeanUpwardExcursion(events[i].data), 40.7, 1.5);
    }
    EXPECT_EQ(a.header.dwFlags, WHDR_DONE);
}

TEST_F(WaveApiTest, StopReturnsThePartlyFilledBufferAndKeepsTheEmptyOnes) {
    Open();
    Buffer big(40000), next(40000);
    Queue(big);
    Queue(next);
    ASSERT_EQ(waveInStart(device_), MMSYSERR_NOERROR);
    ASSERT_TRUE(WaitUntil(HeadHasBytes));
    ASSERT_EQ(waveInStop(device_), MMSYSERR_NOERROR);
    ASSERT_TRUE(log_.WaitFor(1, WIM_DATA));

    const auto events = log_.Events();
    EXPECT_EQ(events[1].header, &big.header);
    EXPECT_GT(events[1].bytes, 0u);
    EXPECT_LT(events[1].bytes, 40000u);
    EXPECT_EQ(big.header.dwFlags, WHDR_DONE | WHDR_PREPARED);
    EXPECT_EQ(next.header.dwFlags, WHDR_INQUEUE | WHDR_PREPARED);
    EXPECT_EQ(WaveService::Instance().State().queued, 1u) << "the empty buffer stays queued";
    EXPECT_EQ(waveInStop(device_), MMSYSERR_NOERROR) << "a second stop returns nothing";

    // Recording goes on into the buffer that stayed.
    ASSERT_EQ(waveInStart(device_), MMSYSERR_NOERROR);
    ASSERT_TRUE(WaitUntil(HeadHasBytes));
    ASSERT_EQ(waveInReset(device_), MMSYSERR_NOERROR);
    ASSERT_TRUE(log_.WaitFor(2, WIM_DATA));
    EXPECT_EQ(log_.Events()[2].header, &next.header);
    EXPECT_GT(log_.Events()[2].bytes, 0u);
}

TEST_F(WaveApiTest, ResetReturnsEveryQueuedBuffer) {
    Open();
    Buffer a(40000), b(1000), c(1000);
    Queue(a);
    Queue(b);
    Queue(c);
    ASSERT_EQ(waveInStart(device_), MMSYSERR_NOERROR);
    ASSERT_TRUE(WaitUntil(HeadHasBytes));
    ASSERT_EQ(waveInReset(device_), MMSYSERR_NOERROR);
    EXPECT_EQ(a.header.dwFlags & WHDR_INQUEUE, 0u) << "done when reset returns";
    ASSERT_TRUE(log_.WaitFor(3, WIM_DATA));

    const auto events = log_.Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[1].header, &a.header);
    EXPECT_GT(events[1].bytes, 0u);
    EXPECT_EQ(events[2].header, &b.header);
    EXPECT_EQ(events[2].bytes, 0u);
    EXPECT_EQ(events[3].header, &c.header);
    EXPECT_EQ(events[3].bytes, 0u);
    for (const Buffer* x : {&a, &b, &c}) {
        EXPECT_EQ(x->header.dwFlags, WHDR_DONE | WHDR_PREPARED);
    }
    EXPECT_EQ(WaveService::Instance().State().queued, 0u);
    EXPECT_FALSE(WaveService::Instance().State().recording);
}

// A recording of a ramp that climbs by one per sample (mod 251) shows any lost or repeated sample.
TEST_F(WaveApiTest, BuffersHandedBackAtOnceRecordWithoutGaps) {
    TempDir dir;
    std::vector<BYTE> ramp(251);
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<BYTE>(i);
    }
    WriteU8Wav(dir.Path() + "/ramp.wav", ramp);
    Configure({{"source", "recording"}, {"recording", dir.Path() + "/ramp.wav"}, {"loop", "yes"}});

    Recorder recorder(log_);
    recorder.Start(3, 300);
    ASSERT_TRUE(log_.WaitFor(8, WIM_DATA));
    recorder.StopAndClose();

    std::vector<BYTE> all;
    for (const auto& e : log_.Events()) {
        all.insert(all.end(), e.data.begin(), e.data.end());
    }
    ASSERT_GE(all.size(), 8u * 300u);
    for (std::size_t i = 1; i < all.size(); ++i) {
        ASSERT_EQ(all[i], (all[i - 1] + 1) % 251) << "at byte " << i;
    }
}

TEST_F(WaveApiTest, MisuseCodes) {
    Open();
    Buffer a(1000);
    WAVEHDR noData{};
    noData.dwBufferLength = 100;

    EXPECT_EQ(waveInAddBuffer(device_, &a.header, kHdr), WAVERR_UNPREPARED);
    EXPECT_EQ(waveInPrepareHeader(device_, nullptr, kHdr), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInPrepareHeader(device_, &a.header, kHdr - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInPrepareHeader(device_, &noData, kHdr), MMSYSERR_INVALPARAM);
    ASSERT_EQ(waveInPrepareHeader(device_, &a.header, kHdr), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInPrepareHeader(device_, &a.header, kHdr), MMSYSERR_NOERROR)
        << "preparing twice is harmless";
    ASSERT_EQ(waveInAddBuffer(device_, &a.header, kHdr), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInAddBuffer(device_, &a.header, kHdr), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInUnprepareHeader(device_, &a.header, kHdr), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInClose(device_), WAVERR_STILLPLAYING);

    HWAVEIN second = nullptr;
    const WAVEFORMATEX f = Format8k();
    EXPECT_EQ(waveInOpen(&second, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);

    ASSERT_EQ(waveInReset(device_), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInUnprepareHeader(device_, &a.header, kHdr), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInUnprepareHeader(device_, &a.header, kHdr), MMSYSERR_NOERROR)
        << "unpreparing twice is harmless";
    const HWAVEIN closed = device_;
    CloseDevice();

    // Every call on a closed, null or made-up handle.
    for (HWAVEIN bad : {closed, static_cast<HWAVEIN>(nullptr), reinterpret_cast<HWAVEIN>(0x1234)}) {
        EXPECT_EQ(waveInPrepareHeader(bad, &a.header, kHdr), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInAddBuffer(bad, &a.header, kHdr), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInStart(bad), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInStop(bad), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInReset(bad), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInUnprepareHeader(bad, &a.header, kHdr), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInClose(bad), MMSYSERR_INVALHANDLE);
    }

    // A new open gets a new handle; the old one stays dead.
    HWAVEIN again = nullptr;
    ASSERT_EQ(waveInOpen(&again, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_NE(again, closed);
    EXPECT_EQ(waveInStart(closed), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInClose(again), MMSYSERR_NOERROR);
}

TEST_F(WaveApiTest, ShutdownClosesADeviceLeftOpen) {
    Open();
    Buffer a(40000);
    Queue(a);
    ASSERT_EQ(waveInStart(device_), MMSYSERR_NOERROR);
    platform::wave::Shutdown();
    device_ = nullptr;
    EXPECT_EQ(log_.Messages(), (std::vector<UINT>{WIM_OPEN, WIM_DATA, WIM_CLOSE}));
    EXPECT_FALSE(WaveService::Instance().State().open);
}

struct OpenCase {
    const char* name;
    UINT device;
    WAVEFORMATEX format;
    DWORD_PTR callback;
    DWORD flags;
    MMRESULT expected;
};

WAVEFORMATEX With(void (*change)(WAVEFORMATEX&)) {
    WAVEFORMATEX f = Format8k();
    change(f);
    return f;
}

TEST_F(WaveApiTest, OpenCodes) {
    const auto proc = reinterpret_cast<DWORD_PTR>(&CallbackLog::Proc);
    const OpenCase cases[] = {
        {"16 bits", WAVE_MAPPER, With([](WAVEFORMATEX& f) { f.wBitsPerSample = 16; }), proc,
         CALLBACK_FUNCTION, WAVERR_BADFORMAT},
        {"stereo", WAVE_MAPPER, With([](WAVEFORMATEX& f) { f.nChannels = 2; }), proc, CALLBACK_FUNCTION,
         WAVERR_BADFORMAT},
        {"44.1 kHz", WAVE_MAPPER, With([](WAVEFORMATEX& f) { f.nSamplesPerSec = 44100; }), proc,
         CALLBACK_FUNCTION, WAVERR_BADFORMAT},
        {"not PCM", WAVE_MAPPER, With([](WAVEFORMATEX& f) { f.wFormatTag = 3; }), proc, CALLBACK_FUNCTION,
         WAVERR_BADFORMAT},
        {"device 3", 3, Format8k(), proc, CALLBACK_FUNCTION, MMSYSERR_BADDEVICEID},
        {"window callback", WAVE_MAPPER, Format8k(), 1, CALLBACK_WINDOW, MMSYSERR_NOTSUPPORTED},
        {"function without one", WAVE_MAPPER, Format8k(), 0, CALLBACK_FUNCTION, MMSYSERR_INVALPARAM},
        {"unknown flag", WAVE_MAPPER, Format8k(), proc, CALLBACK_FUNCTION | 0x100, MMSYSERR_INVALFLAG},
        {"format query", WAVE_MAPPER, Format8k(), 0, WAVE_FORMAT_QUERY, MMSYSERR_NOERROR},
        {"query for a bad format", 0, With([](WAVEFORMATEX& f) { f.nChannels = 2; }), 0, WAVE_FORMAT_QUERY,
         WAVERR_BADFORMAT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWAVEIN h = nullptr;
        EXPECT_EQ(waveInOpen(&h, c.device, &c.format, c.callback, 0, c.flags), c.expected);
        EXPECT_EQ(h, nullptr);
        EXPECT_FALSE(WaveService::Instance().State().open);
    }
    HWAVEIN h = nullptr;
    EXPECT_EQ(waveInOpen(&h, WAVE_MAPPER, nullptr, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    const WAVEFORMATEX f = Format8k();
    EXPECT_EQ(waveInOpen(nullptr, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInGetNumDevs(), 1u);
}

} // namespace
