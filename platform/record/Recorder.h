// The queue between the reporting threads and the record's writer thread, and the writer itself.
// Reports take the queue's lock for a few instructions; the writer takes everything queued under the same
// lock and writes it with the lock released. Level reports are summed into the current device second;
// a second's row is queued when a later second begins or when the writer finds the second over. The
// writer fills the seconds in which no buffer ended with rows that only say whether capture ran (it was
// started, the microphone indicator is not raised and buffers keep coming) and whether the session was
// armed, as the events so far tell.
#pragma once

#include "platform/record/NightDatabase.h"
#include "platform/record/Record.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::record {

class Recorder {
public:
    explicit Recorder(Options options);
    ~Recorder(); // Finish
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void Event(std::string kind, std::string detail);
    void Level(int level, bool armed);
    bool Flush(std::chrono::milliseconds timeout);
    // Writes what is queued and ends the writer; later reports are ignored.
    void Finish();

    std::uint64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }
    const std::string& Path() const { return path_; }

private:
    struct QueuedEvent {
        std::int64_t wallMs;
        std::uint64_t deviceMs;
        std::string kind;
        std::string detail;
    };
    struct Second {
        std::uint64_t second = 0;
        int peak = 0;
        std::int64_t sum = 0;
        int count = 0;
        bool armed = false;
    };

    void QueueSecondLocked(const Second& second);
    void Run();
    void Write(std::uint64_t nowSecond);
    bool OpenDatabase();
    void WriteBatch(std::uint64_t nowSecond);
    void FillSeconds(std::uint64_t upTo);
    void PutEvent(const QueuedEvent& e);
    std::int64_t ClockMs(std::uint64_t deviceMs) const;

    const Options options_;
    const std::string path_;
    const std::int64_t startWallMs_;
    const std::uint64_t startDeviceMs_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable flushed_;
    std::vector<QueuedEvent> events_;
    std::deque<Second> seconds_;
    Second current_;
    std::uint64_t flushRequested_ = 0;
    std::uint64_t flushDone_ = 0;
    bool stopping_ = false;
    bool finished_ = false;
    std::atomic<std::uint64_t> dropped_{0};
    std::atomic<bool> open_{false};

    // The writer's own.
    std::vector<QueuedEvent> pendingEvents_;
    std::deque<Second> pendingSeconds_;
    std::unique_ptr<NightDatabase> db_;
    bool unusable_ = false;
    std::int64_t run_ = 0;
    std::uint64_t lastSecond_ = 0; // the last second written
    std::uint64_t lastBuffer_ = 0; // the last second in which a buffer ended (or capture started)
    bool capturing_ = false;
    bool microphoneFailed_ = false; // the microphone indicator is raised: capture does not run
    bool armed_ = false;
    std::uint64_t droppedWritten_ = 0;

    std::thread thread_;
};

} // namespace platform::record
