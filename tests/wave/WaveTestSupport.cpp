#include "WaveTestSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

namespace wavetest {

CallbackLog::~CallbackLog() {
    platform::wave::Shutdown();
}

void CALLBACK CallbackLog::Proc(HWAVEIN hwi, UINT msg, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
    Event e;
    e.device = hwi;
    e.message = msg;
    if (msg == WIM_DATA) {
        e.header = reinterpret_cast<WAVEHDR*>(param1);
        e.bytes = e.header->dwBytesRecorded;
        e.data.assign(e.header->lpData, e.header->lpData + e.bytes);
    }
    reinterpret_cast<CallbackLog*>(instance)->Record(std::move(e));
}

void CALLBACK CallbackLog::ErrorProc(HWAVEIN hwi, MMRESULT code, DWORD_PTR instance) {
    Event e;
    e.device = hwi;
    e.message = kErrorEvent;
    e.bytes = code;
    reinterpret_cast<CallbackLog*>(instance)->Record(std::move(e));
}

void CallbackLog::Record(Event e) {
    {
        std::lock_guard lock(mutex_);
        events_.push_back(e);
    }
    changed_.notify_all();
    if (onEvent) {
        onEvent(e);
    }
}

bool CallbackLog::WaitFor(std::size_t count, UINT message) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kDeadline, [&] {
        std::size_t n = 0;
        for (const auto& e : events_) {
            n += (message == 0 || e.message == message) ? 1 : 0;
        }
        return n >= count;
    });
}

std::vector<Event> CallbackLog::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<UINT> CallbackLog::Messages() const {
    std::vector<UINT> messages;
    for (const auto& e : Events()) {
        messages.push_back(e.message);
    }
    return messages;
}

Buffer::Buffer(std::size_t size) : data(size) {
    header.lpData = data.data();
    header.dwBufferLength = static_cast<DWORD>(size);
}

Recorder::Recorder(CallbackLog& log) : log_(log) {
    log_.onEvent = [this](const Event& e) {
        if (e.message == WIM_DATA && e.bytes == e.header->dwBufferLength && !stopping_.load()) {
            waveInAddBuffer(e.device, e.header, sizeof(WAVEHDR));
        }
    };
}

Recorder::~Recorder() {
    if (device_ != nullptr) {
        StopAndClose();
    }
}

void Recorder::Start(std::size_t count, std::size_t bytes) {
    const WAVEFORMATEX f = Format8k();
    ASSERT_EQ(waveInOpen(&device_, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&CallbackLog::Proc),
                         log_.Instance(), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    for (std::size_t i = 0; i < count; ++i) {
        buffers_.push_back(std::make_unique<Buffer>(bytes));
        ASSERT_EQ(waveInPrepareHeader(device_, &buffers_.back()->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(device_, &buffers_.back()->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveInStart(device_), MMSYSERR_NOERROR);
}

void Recorder::StopAndClose() {
    stopping_ = true;
    EXPECT_EQ(waveInReset(device_), MMSYSERR_NOERROR);
    for (auto& b : buffers_) {
        MMRESULT rc = waveInUnprepareHeader(device_, &b->header, sizeof(WAVEHDR));
        if (rc == WAVERR_STILLPLAYING) {
            EXPECT_EQ(waveInReset(device_), MMSYSERR_NOERROR);
            rc = waveInUnprepareHeader(device_, &b->header, sizeof(WAVEHDR));
        }
        EXPECT_EQ(rc, MMSYSERR_NOERROR);
    }
    EXPECT_EQ(waveInClose(device_), MMSYSERR_NOERROR);
    device_ = nullptr;
    EXPECT_TRUE(log_.WaitFor(1, WIM_CLOSE));
}

WAVEFORMATEX Format8k() {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = 8000;
    f.nAvgBytesPerSec = 8000;
    f.nBlockAlign = 1;
    f.wBitsPerSample = 8;
    f.cbSize = 0;
    return f;
}

void Configure(const std::map<std::string, std::string>& keys) {
    platform::wave::WaveConfig config;
    std::string error;
    ASSERT_TRUE(platform::wave::ParseWaveConfig(keys, "", &config, &error)) << error;
    ASSERT_TRUE(platform::wave::Configure(config, &error)) << error;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(2ms); // polling interval of a condition, not a wait for an event
    }
    return true;
}

double MeanUpwardExcursion(const std::vector<BYTE>& bytes) {
    double sum = 0;
    int count = 0;
    for (BYTE b : bytes) {
        if (b > 128) {
            sum += b - 128;
            ++count;
        }
    }
    return count == 0 ? 0.0 : sum / count;
}

std::vector<BYTE> NoiseBytes(std::size_t n, unsigned seed) {
    std::vector<BYTE> bytes(n);
    std::mt19937 rng(seed);
    for (auto& b : bytes) {
        b = static_cast<BYTE>(rng());
    }
    return bytes;
}

Coverage Cover(const std::vector<Event>& events, const std::vector<BYTE>& played) {
    std::vector<BYTE> all;
    std::vector<std::size_t> ends; // where each buffer ends in `all`
    for (const auto& e : events) {
        if (e.message == WIM_DATA) {
            all.insert(all.end(), e.data.begin(), e.data.end());
            ends.push_back(all.size());
        }
    }
    Coverage c;
    const auto at = std::search(all.begin(), all.end(), played.begin(), played.end());
    if (at == all.end() || played.empty()) {
        return c;
    }
    c.found = true;
    const auto first = static_cast<std::size_t>(at - all.begin());
    std::size_t start = 0;
    for (const std::size_t end : ends) {
        c.buffers += (start < first + played.size() && end > first) ? 1 : 0;
        start = end;
    }
    return c;
}

void WriteU8Wav(const std::string& path, const std::vector<BYTE>& samples) {
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    // Written as raw bytes so that no conversion can change them.
    ASSERT_EQ(sf_write_raw(f, samples.data(), static_cast<sf_count_t>(samples.size())),
              static_cast<sf_count_t>(samples.size()));
    sf_close(f);
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lullwatch-wave-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary directory";
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

} // namespace wavetest
