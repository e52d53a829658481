// The night's record on disk: one SQLite database (night.sqlite in the settings folder) in WAL mode, with
// a table of events and a table of one level row per second. Every run of the program is numbered; a
// row's times are the wall clock (real), the device clock, and the clock time of the night (the wall
// clock at the run's start plus the device time since, which is the wall clock itself at normal speed and
// a compressed night on a sped-up device clock). The writer opens it for writing: a file that SQLite cannot
// open or that fails its check is renamed aside with the time in its name and a new one is made. Readers
// (the automation channel, the night chart) open it read-only beside the writer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::record {

struct EventRow {
    std::int64_t id = 0;
    std::int64_t run = 0;
    std::int64_t wallMs = 0;
    std::int64_t deviceMs = 0;
    std::int64_t clockMs = 0;
    std::string kind;   // "start", "session", "armed", "alarm", "call", "call-state", "call-end" ...
    std::string detail; // key=value words (Detail.h)
};

struct LevelRow {
    std::int64_t run = 0;
    std::int64_t t = 0;         // clock time, epoch seconds
    std::optional<int> peak;    // the highest level of the buffers that ended in this second
    std::optional<double> mean; // their mean; both empty when no buffer ended in it
    bool captured = false;      // capture ran
    bool armed = false;         // the session was armed
};

class NightDatabase {
public:
    ~NightDatabase();
    NightDatabase(const NightDatabase&) = delete;
    NightDatabase& operator=(const NightDatabase&) = delete;

    // For the writer. `aside` tells where a damaged file went ("" when none was). Null with `error` when
    // not even a new file can be made.
    static std::unique_ptr<NightDatabase> OpenForWriting(const std::string& path, std::string* aside,
                                                         std::string* error);
    // For readers; null with `error` when the file is missing or unreadable.
    static std::unique_ptr<NightDatabase> OpenForReading(const std::string& path, std::string* error);

    // The number of a new run: one more than any run recorded.
    std::int64_t NextRun();
    // Drops events and levels whose clock time is before `clockMs`.
    void RemoveBefore(std::int64_t clockMs);

    bool Begin();
    bool Commit();
    bool AddEvent(const EventRow& row);
    bool PutLevel(const LevelRow& row);

    std::vector<EventRow> LastEvents(int count);
    // Events with clock times in [fromMs, toMs), oldest first.
    std::vector<EventRow> Events(std::int64_t fromMs, std::int64_t toMs);
    // Level rows with clock seconds in [fromT, toT], oldest first.
    std::vector<LevelRow> Levels(std::int64_t fromT, std::int64_t toT);

    const std::string& LastError() const { return error_; }

private:
    explicit NightDatabase(sqlite3* db) : db_(db) {}
    bool Exec(const char* sql);
    bool Check();
    bool Prepare();

    sqlite3* db_ = nullptr;
    sqlite3_stmt* addEvent_ = nullptr;
    sqlite3_stmt* putLevel_ = nullptr;
    std::string error_;
};

} // namespace platform::record
