// Helpers for the wave tests: a callback that records every message with a copy of the buffer's bytes,
// buffers with their headers, and waiting for conditions with a deadline.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/wave/WaveApi.h"
#include "platform/wave/WaveService.h"

namespace wavetest {

using namespace std::chrono_literals;

// Long enough for a loaded machine under ThreadSanitizer; conditions normally hold in milliseconds.
constexpr auto kDeadline = 10s;

struct Event {
    HWAVEIN device = nullptr;
    UINT message = 0; // a WIM_ message, or kErrorEvent for the failure hook
    WAVEHDR* header = nullptr;
    DWORD bytes = 0;
    std::vector<BYTE> data; // the recorded bytes, copied in the callback
};

constexpr UINT kErrorEvent = 0xE000;

// Records the messages of one device. Pass Proc and Instance() to waveInOpen. `onEvent`, when set
// before the open, runs inside the callback after the event is recorded. The callback reads only the
// header's data pointer and recorded-bytes count, as the program's does: the flags belong to whoever
// holds the buffer, and a test may unprepare a returned buffer while its WIM_DATA is on its way. The
// destructor waits for the callback threads of closed devices (platform::wave::Shutdown), so no
// callback can reach a log that is gone.
class CallbackLog {
public:
    CallbackLog() = default;
    ~CallbackLog();
    CallbackLog(const CallbackLog&) = delete;
    CallbackLog& operator=(const CallbackLog&) = delete;

    static void CALLBACK Proc(HWAVEIN hwi, UINT msg, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);
    static void CALLBACK ErrorProc(HWAVEIN hwi, MMRESULT code, DWORD_PTR instance);
    DWORD_PTR Instance() { return reinterpret_cast<DWORD_PTR>(this); }

    // Waits until `count` events of `message` (0: of any kind) have arrived; false at the deadline.
    bool WaitFor(std::size_t count, UINT message = 0);
    std::vector<Event> Events() const;
    std::vector<UINT> Messages() const;

    std::function<void(const Event&)> onEvent;

private:
    void Record(Event e);
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Event> events_;
};

// One buffer and its header.
struct Buffer {
    explicit Buffer(std::size_t size);
    std::vector<char> data;
    WAVEHDR header{};
};

// Records continuously the way the program does: every full buffer is handed straight back from the
// callback until StopAndClose begins.
class Recorder {
public:
    explicit Recorder(CallbackLog& log);
    ~Recorder();
    // Opens the device, queues `count` buffers of `bytes` and starts recording; fails the test on error.
    void Start(std::size_t count, std::size_t bytes);
    // Stops the hand-backs, then reset, unprepare and close. A callback that had already decided to
    // hand its buffer back may still queue it after the reset; the unprepare then finds it queued, and
    // one more reset returns it for good. Waits for WIM_CLOSE.
    void StopAndClose();
    HWAVEIN Device() const { return device_; }

private:
    CallbackLog& log_;
    std::atomic<bool> stopping_{false};
    HWAVEIN device_ = nullptr;
    std::vector<std::unique_ptr<Buffer>> buffers_;
};

// The one format the device records: 8000 Hz, 8-bit, mono PCM.
WAVEFORMATEX Format8k();

// Configures the device from profile keys; fails the test on an error.
void Configure(const std::map<std::string, std::string>& keys);

// Polls `condition` until it holds; false at the deadline.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = kDeadline);

// The mean excursion above 128 of the bytes above 128 (0 when none).
double MeanUpwardExcursion(const std::vector<BYTE>& bytes);

// `n` bytes of seeded noise over the whole 0..255 range: no stretch of a few hundred of them appears
// anywhere else by chance.
std::vector<BYTE> NoiseBytes(std::size_t n, unsigned seed);

// Where `played` lies in the recorded bytes of the WIM_DATA events, end to end: whether it is there
// unchanged and without a gap, and how many buffers hold a part of it.
struct Coverage {
    bool found = false;
    std::size_t buffers = 0;
};
Coverage Cover(const std::vector<Event>& events, const std::vector<BYTE>& played);

// Writes an 8000 Hz unsigned 8-bit mono WAV file.
void WriteU8Wav(const std::string& path, const std::vector<BYTE>& samples);

// A fresh temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace wavetest
