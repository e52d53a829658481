#include "platform/record/Recorder.h"

#include "platform/record/Detail.h"
#include "platform/record/LocalTime.h"
#include "platform/win/Clock.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <pthread.h>

namespace platform::record {
namespace {

// How long level rows may wait for a write (in real time): five seconds, so a killed program loses at
// most that much while the disk sees a small transaction every few seconds. Events are written as soon
// as they come; a quiet night wakes the writer only every five seconds.
constexpr std::chrono::milliseconds kLevelPeriod{5000};
constexpr std::uint64_t kLongestBufferSeconds = 6;
constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;

void Say(const std::string& message) {
    std::fprintf(stderr, "lullwatch: night record: %s\n", message.c_str());
    std::fflush(stderr);
}

} // namespace

Recorder::Recorder(Options options)
    : options_(std::move(options)), path_(options_.folder + "/night.sqlite"), startWallMs_(WallClockMs()),
      startDeviceMs_(Clock::NowMs()) {
    lastSecond_ = startDeviceMs_ / 1000; // the first full second is the next one
    lastBuffer_ = lastSecond_;
    thread_ = std::thread([this] { Run(); });
}

Recorder::~Recorder() {
    Finish();
}

std::int64_t Recorder::ClockMs(std::uint64_t deviceMs) const {
    return startWallMs_ + static_cast<std::int64_t>(deviceMs) - static_cast<std::int64_t>(startDeviceMs_);
}

void Recorder::Event(std::string kind, std::string detail) {
    QueuedEvent e{WallClockMs(), Clock::NowMs(), std::move(kind), std::move(detail)};
    bool first = false;
    {
        std::lock_guard lock(mutex_);
        if (finished_) {
            return;
        }
        first = events_.empty();
        events_.push_back(std::move(e));
    }
    // The writer takes events at once (and, until the database is open, an event may be the first one
    // after the settings folder came to be: the file is then opened early and stays open all night).
    if (first) {
        wake_.notify_one();
    }
}

void Recorder::QueueSecondLocked(const Second& second) {
    if (seconds_.size() >= options_.maxLevelRows) {
        seconds_.pop_front();
        dropped_.fetch_add(1, std::memory_order_relaxed);
    }
    seconds_.push_back(second);
}

void Recorder::Level(int level, bool armed) {
    const std::uint64_t second = Clock::NowMs() / 1000;
    std::lock_guard lock(mutex_);
    if (current_.count > 0 && current_.second != second) {
        QueueSecondLocked(current_);
        current_.count = 0;
    }
    if (current_.count == 0) {
        current_ = Second{second, level, 0, 0, armed};
    }
    current_.peak = std::max(current_.peak, level);
    current_.sum += level;
    current_.count += 1;
    current_.armed = armed;
}

bool Recorder::Flush(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (finished_) {
        return false;
    }
    const std::uint64_t wanted = ++flushRequested_;
    wake_.notify_all();
    const bool done = flushed_.wait_for(lock, timeout, [&] { return flushDone_ >= wanted || finished_; });
    return done && flushDone_ >= wanted && open_.load();
}

void Recorder::Finish() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void Recorder::Run() {
    pthread_setname_np(pthread_self(), "night record");
    auto lastWrite = std::chrono::steady_clock::now();
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait_until(lock, lastWrite + kLevelPeriod,
                         [this] { return stopping_ || flushRequested_ > flushDone_ || !events_.empty(); });
        const std::uint64_t generation = flushRequested_;
        const bool last = stopping_;
        const auto now = std::chrono::steady_clock::now();
        if (!last && generation == flushDone_ && events_.empty() && now - lastWrite < kLevelPeriod) {
            continue; // only levels so far: they wait for the next write
        }
        lastWrite = now;
        const std::uint64_t nowSecond = Clock::NowMs() / 1000;
        if (current_.count > 0 && (current_.second < nowSecond || last)) {
            QueueSecondLocked(current_);
            current_.count = 0;
        }
        for (auto& e : events_) {
            pendingEvents_.push_back(std::move(e));
        }
        events_.clear();
        for (const auto& s : seconds_) {
            pendingSeconds_.push_back(s);
        }
        seconds_.clear();
        if (last) {
            finished_ = true;
        }
        lock.unlock();

        Write(nowSecond);
        if (last) {
            db_.reset(); // the last connection's close folds the WAL into the file
        }

        lock.lock();
        flushDone_ = std::max(flushDone_, generation);
        flushed_.notify_all();
        if (last) {
            return;
        }
    }
}

bool Recorder::OpenDatabase() {
    std::error_code ignored;
    if (!std::filesystem::is_directory(options_.folder, ignored)) {
        return false; // not yet: the program makes its folder when it first stores a setting
    }
    std::string aside;
    std::string error;
    db_ = NightDatabase::OpenForWriting(path_, &aside, &error);
    if (!aside.empty()) {
        Say(path_ + " could not be used (" + error + "); kept as " + aside + ", starting a new record");
    }
    if (!db_) {
        Say("cannot write " + path_ + ": " + error + "; the monitor goes on without its record");
        unusable_ = true;
        return false;
    }
    db_->Begin();
    db_->RemoveBefore(WallClockMs() - options_.keepDays * kDayMs);
    run_ = db_->NextRun();
    db_->Commit();
    open_.store(true);
    return true;
}

void Recorder::Write(std::uint64_t nowSecond) {
    if (!db_ && !unusable_) {
        OpenDatabase();
    }
    if (!db_) {
        while (pendingSeconds_.size() > options_.maxLevelRows) {
            pendingSeconds_.pop_front();
            dropped_.fetch_add(1, std::memory_order_relaxed);
        }
        if (unusable_) {
            pendingEvents_.clear();
            pendingSeconds_.clear();
        }
        return;
    }
    db_->Begin();
    WriteBatch(nowSecond);
    if (!db_->Commit()) {
        Say("cannot write " + path_ + ": " + db_->LastError());
        db_->Commit(); // a failed COMMIT leaves the transaction open; the next Begin would fail
    }
    pendingEvents_.clear();
    pendingSeconds_.clear();
}

void Recorder::WriteBatch(std::uint64_t nowSecond) {
    // Events and seconds in device-time order; a second sorts at its end, after the events inside it.
    std::stable_sort(pendingEvents_.begin(), pendingEvents_.end(),
                     [](const QueuedEvent& a, const QueuedEvent& b) { return a.deviceMs < b.deviceMs; });
    std::size_t s = 0;
    for (const auto& e : pendingEvents_) {
        const std::uint64_t eventSecond = e.deviceMs / 1000;
        for (; s < pendingSeconds_.size() && pendingSeconds_[s].second < eventSecond; ++s) {
            const Second& sec = pendingSeconds_[s];
            FillSeconds(sec.second - 1);
            db_->PutLevel({run_, ClockMs(sec.second * 1000) / 1000, sec.peak,
                           static_cast<double>(sec.sum) / sec.count, true, sec.armed});
            lastSecond_ = std::max(lastSecond_, sec.second);
            lastBuffer_ = std::max(lastBuffer_, sec.second);
        }
        FillSeconds(eventSecond - 1);
        PutEvent(e);
    }
    for (; s < pendingSeconds_.size(); ++s) {
        const Second& sec = pendingSeconds_[s];
        FillSeconds(sec.second - 1);
        db_->PutLevel({run_, ClockMs(sec.second * 1000) / 1000, sec.peak,
                       static_cast<double>(sec.sum) / sec.count, true, sec.armed});
        lastSecond_ = std::max(lastSecond_, sec.second);
        lastBuffer_ = std::max(lastBuffer_, sec.second);
    }
    FillSeconds(nowSecond - 1);
    const std::uint64_t dropped = dropped_.load(std::memory_order_relaxed);
    if (dropped != droppedWritten_) {
        PutEvent({WallClockMs(), Clock::NowMs(), "levels-dropped",
                  DetailText({{"count", std::to_string(dropped)}})});
        droppedWritten_ = dropped;
    }
}

void Recorder::FillSeconds(std::uint64_t upTo) {
    // On a sped-up clock a moment of the machine's own is many device seconds: allow a quarter of a real
    // second as well.
    const auto patience =
        std::max<std::uint64_t>(kLongestBufferSeconds, static_cast<std::uint64_t>(Clock::Factor() / 4));
    for (std::uint64_t second = lastSecond_ + 1; second <= upTo && upTo != static_cast<std::uint64_t>(-1);
         ++second) {
        // Capture that runs without handing over a buffer for longer than the longest buffer lasts
        // (5 s) does not listen either, whatever the wave calls said.
        const bool listening = capturing_ && !microphoneFailed_ && second <= lastBuffer_ + patience;
        db_->PutLevel({run_, ClockMs(second * 1000) / 1000, std::nullopt, std::nullopt, listening, armed_});
        lastSecond_ = second;
    }
}

void Recorder::PutEvent(const QueuedEvent& e) {
    if (e.kind == "capture-start") {
        capturing_ = true;
        lastBuffer_ = std::max(lastBuffer_, e.deviceMs / 1000);
    } else if (e.kind == "capture-stop") {
        capturing_ = false;
    } else if (e.kind == "armed") {
        armed_ = true;
    } else if (e.kind == "session-stop") {
        armed_ = false;
    } else if ((e.kind == "fault" || e.kind == "recovered") && e.detail.starts_with("what=microphone")) {
        microphoneFailed_ = e.kind == "fault";
    }
    db_->AddEvent(
        {0, run_, e.wallMs, static_cast<std::int64_t>(e.deviceMs), ClockMs(e.deviceMs), e.kind, e.detail});
}

} // namespace platform::record
