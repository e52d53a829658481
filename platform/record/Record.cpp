// The record's reporting functions: each turns its report into an event (or a level) for the current
// recorder. The recorders of earlier Starts are kept, stopped, for the life of the process, so that a
// thread that read the pointer just before a Stop still reports into a live object (which ignores it).
#include "platform/record/Record.h"

#include "platform/record/Detail.h"
#include "platform/record/FaultWatch.h"
#include "platform/record/LogCommand.h"
#include "platform/record/RecordState.h"
#include "platform/win/Clock.h"
#include "platform/win/Utf8.h"

#include <mutex>
#include <unistd.h>
#include <vector>

namespace platform::record {
namespace {

std::atomic<Recorder*> g_recorder{nullptr};
std::atomic<bool> g_sessionActive{false};
std::atomic<bool> g_armed{false};
std::atomic<bool> g_capturing{false};
std::atomic<bool> g_alarmSinceCapture{false};
std::mutex g_endMutex;
std::string g_endWhy;

std::vector<std::unique_ptr<Recorder>>& Retired() {
    static auto* retired = new std::vector<std::unique_ptr<Recorder>>; // never destroyed, see above
    return *retired;
}

std::mutex& StartMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string Number(std::int64_t value) {
    return std::to_string(value);
}

} // namespace

Recorder* Current() {
    return g_recorder.load(std::memory_order_acquire);
}

void Start(const Options& options, const std::string& describe) {
    std::lock_guard lock(StartMutex());
    if (Current() != nullptr || !options.enabled) {
        return;
    }
    g_sessionActive.store(false);
    g_armed.store(false);
    g_capturing.store(false);
    g_alarmSinceCapture.store(false);
    {
        std::lock_guard end(g_endMutex);
        g_endWhy.clear();
    }
    ResetCalls();
    auto recorder = std::make_unique<Recorder>(options);
    recorder->Event("start", DetailText({{"pid", Number(getpid())},
                                         {"clock-factor", std::to_string(Clock::Factor())},
                                         {"profile", describe}}));
    g_recorder.store(recorder.get(), std::memory_order_release);
    Retired().push_back(std::move(recorder));
    WatchIndicators();
    RegisterLogCommand();
}

void Stop(int exitCode) {
    std::lock_guard lock(StartMutex());
    Recorder* recorder = Current();
    if (recorder == nullptr) {
        return;
    }
    std::string why;
    {
        std::lock_guard end(g_endMutex);
        why = g_endWhy.empty() ? "closed" : g_endWhy;
    }
    UnwatchIndicators();
    recorder->Event("end", DetailText({{"how", why}, {"code", Number(exitCode)}}));
    g_recorder.store(nullptr, std::memory_order_release);
    recorder->Finish();
}

bool Running() {
    return Current() != nullptr;
}

bool Flush(std::chrono::milliseconds timeout) {
    Recorder* recorder = Current();
    return recorder != nullptr && recorder->Flush(timeout);
}

std::string DatabasePath() {
    Recorder* recorder = Current();
    return recorder != nullptr ? recorder->Path() : std::string();
}

void Note(std::string_view kind, std::string detail) {
    if (Recorder* recorder = Current()) {
        recorder->Event(std::string(kind), std::move(detail));
    }
}

void Level(int level) {
    if (Recorder* recorder = Current()) {
        recorder->Level(level, g_armed.load(std::memory_order_relaxed));
    }
}

void CaptureRunning(bool running) {
    if (Current() == nullptr || g_capturing.exchange(running) == running) {
        return;
    }
    if (running) {
        g_alarmSinceCapture.store(false);
    }
    Note(running ? "capture-start" : "capture-stop");
}

void SessionStarted(std::wstring_view number, int step, int averaging, int factor, int noiseLength) {
    g_sessionActive.store(true);
    Note("session", DetailText({{"number", ToUtf8(std::wstring(number))},
                                {"step", Number(step)},
                                {"averaging", Number(averaging)},
                                {"factor", Number(factor)},
                                {"noise", Number(noiseLength)}}));
}

void Armed() {
    g_armed.store(true);
    Note("armed");
}

void SessionStopped() {
    g_armed.store(false);
    if (g_sessionActive.exchange(false)) {
        Note("session-stop");
    }
}

void Alarm(int level, int step) {
    if (Current() == nullptr || g_alarmSinceCapture.exchange(true)) {
        return;
    }
    Note("alarm", DetailText({{"level", Number(level)}, {"step", Number(step)}}));
}

void EndRequested(const std::string& why) {
    {
        std::lock_guard end(g_endMutex);
        if (g_endWhy.empty()) {
            g_endWhy = why;
        }
    }
    Note("end-asked", DetailText({{"why", why}}));
}

std::uint64_t DroppedLevelRows() {
    Recorder* recorder = Current();
    return recorder != nullptr ? recorder->Dropped() : 0;
}

} // namespace platform::record
