#include "platform/record/NightDatabase.h"

#include "platform/record/LocalTime.h"

#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace platform::record {
namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS events(
    id INTEGER PRIMARY KEY,
    run INTEGER NOT NULL,
    wall_ms INTEGER NOT NULL,
    device_ms INTEGER NOT NULL,
    clock_ms INTEGER NOT NULL,
    kind TEXT NOT NULL,
    detail TEXT NOT NULL DEFAULT '');
CREATE INDEX IF NOT EXISTS events_by_clock ON events(clock_ms);
CREATE TABLE IF NOT EXISTS levels(
    t INTEGER NOT NULL,
    run INTEGER NOT NULL,
    peak INTEGER,
    mean REAL,
    captured INTEGER NOT NULL,
    armed INTEGER NOT NULL,
    PRIMARY KEY(t, run)) WITHOUT ROWID;
)";

std::string AsideName(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &t);
    std::string name = path + ".damaged-" + stamp;
    for (int i = 2; std::filesystem::exists(name); ++i) {
        name = path + ".damaged-" + stamp + "-" + std::to_string(i);
    }
    return name;
}

std::string Text(sqlite3_stmt* s, int column) {
    const auto* text = sqlite3_column_text(s, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

EventRow ReadEvent(sqlite3_stmt* s) {
    EventRow row;
    row.id = sqlite3_column_int64(s, 0);
    row.run = sqlite3_column_int64(s, 1);
    row.wallMs = sqlite3_column_int64(s, 2);
    row.deviceMs = sqlite3_column_int64(s, 3);
    row.clockMs = sqlite3_column_int64(s, 4);
    row.kind = Text(s, 5);
    row.detail = Text(s, 6);
    return row;
}

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return s_; }
    explicit operator bool() const { return s_ != nullptr; }

private:
    sqlite3_stmt* s_ = nullptr;
};

} // namespace

NightDatabase::~NightDatabase() {
    sqlite3_finalize(addEvent_);
    sqlite3_finalize(putLevel_);
    sqlite3_close_v2(db_);
}

bool NightDatabase::Exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) {
        return true;
    }
    error_ = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
}

bool NightDatabase::Check() {
    Statement check(db_, "PRAGMA quick_check");
    if (!check) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    const int rc = sqlite3_step(check.get());
    if (rc != SQLITE_ROW || Text(check.get(), 0) != "ok") {
        error_ = rc == SQLITE_ROW ? "damaged: " + Text(check.get(), 0) : std::string(sqlite3_errmsg(db_));
        return false;
    }
    return true;
}

bool NightDatabase::Prepare() {
    const char* addEvent = "INSERT INTO events(run, wall_ms, device_ms, clock_ms, kind, detail) "
                           "VALUES(?, ?, ?, ?, ?, ?)";
    const char* putLevel = "INSERT OR REPLACE INTO levels(t, run, peak, mean, captured, armed) "
                           "VALUES(?, ?, ?, ?, ?, ?)";
    if (sqlite3_prepare_v2(db_, addEvent, -1, &addEvent_, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_, putLevel, -1, &putLevel_, nullptr) != SQLITE_OK) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

std::unique_ptr<NightDatabase> NightDatabase::OpenForWriting(const std::string& path, std::string* aside,
                                                             std::string* error) {
    aside->clear();
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3* handle = nullptr;
        const int rc =
            sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        std::unique_ptr<NightDatabase> db(new NightDatabase(handle));
        if (rc != SQLITE_OK) {
            db->error_ = handle ? sqlite3_errmsg(handle) : "out of memory";
        } else {
            sqlite3_busy_timeout(handle, 2000);
            // The check comes first: on a file that is no database every statement fails, on a damaged
            // one the check says so, and either way nothing has been written into it.
            if (!db->Check()) {
                // error_ says what is wrong
            } else if (db->Exec("PRAGMA journal_mode=WAL") && db->Exec("PRAGMA synchronous=NORMAL") &&
                       // Rows are only appended: a small page cache serves that, and the default one
                       // (2 MB) would grow with the night's file and keep the process's memory growing.
                       db->Exec("PRAGMA cache_size=-128") && db->Exec(kSchema) && db->Prepare()) {
                return db;
            }
        }
        *error = db->error_;
        db.reset();
        if (attempt > 0 || !std::filesystem::exists(path)) {
            return nullptr;
        }
        const std::string name = AsideName(path);
        std::error_code failed;
        std::filesystem::rename(path, name, failed);
        if (failed) {
            *error += "; cannot rename it aside: " + failed.message();
            return nullptr;
        }
        for (const char* suffix : {"-wal", "-shm"}) {
            std::error_code ignored;
            if (std::filesystem::exists(path + suffix)) {
                std::filesystem::rename(path + suffix, name + suffix, ignored);
            }
        }
        *aside = name;
    }
    return nullptr;
}

std::unique_ptr<NightDatabase> NightDatabase::OpenForReading(const std::string& path, std::string* error) {
    if (!std::filesystem::exists(path)) {
        *error = "no record at " + path;
        return nullptr;
    }
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<NightDatabase> db(new NightDatabase(handle));
    if (rc != SQLITE_OK) {
        *error = handle ? sqlite3_errmsg(handle) : "out of memory";
        return nullptr;
    }
    sqlite3_busy_timeout(handle, 2000);
    return db;
}

std::int64_t NightDatabase::NextRun() {
    Statement s(db_, "SELECT MAX(run) FROM events");
    if (s && sqlite3_step(s.get()) == SQLITE_ROW) {
        return sqlite3_column_int64(s.get(), 0) + 1;
    }
    return 1;
}

void NightDatabase::RemoveBefore(std::int64_t clockMs) {
    Statement events(db_, "DELETE FROM events WHERE clock_ms < ?");
    Statement levels(db_, "DELETE FROM levels WHERE t < ?");
    if (events && levels) {
        sqlite3_bind_int64(events.get(), 1, clockMs);
        sqlite3_bind_int64(levels.get(), 1, clockMs / 1000);
        sqlite3_step(events.get());
        sqlite3_step(levels.get());
    }
}

bool NightDatabase::Begin() {
    return Exec("BEGIN");
}

bool NightDatabase::Commit() {
    return Exec("COMMIT");
}

bool NightDatabase::AddEvent(const EventRow& row) {
    sqlite3_stmt* s = addEvent_;
    sqlite3_bind_int64(s, 1, row.run);
    sqlite3_bind_int64(s, 2, row.wallMs);
    sqlite3_bind_int64(s, 3, row.deviceMs);
    sqlite3_bind_int64(s, 4, row.clockMs);
    sqlite3_bind_text(s, 5, row.kind.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 6, row.detail.c_str(), -1, SQLITE_TRANSIENT);
    const bool ok = sqlite3_step(s) == SQLITE_DONE;
    if (!ok) {
        error_ = sqlite3_errmsg(db_);
    }
    sqlite3_reset(s);
    return ok;
}

bool NightDatabase::PutLevel(const LevelRow& row) {
    sqlite3_stmt* s = putLevel_;
    sqlite3_bind_int64(s, 1, row.t);
    sqlite3_bind_int64(s, 2, row.run);
    if (row.peak) {
        sqlite3_bind_int(s, 3, *row.peak);
    } else {
        sqlite3_bind_null(s, 3);
    }
    if (row.mean) {
        sqlite3_bind_double(s, 4, *row.mean);
    } else {
        sqlite3_bind_null(s, 4);
    }
    sqlite3_bind_int(s, 5, row.captured ? 1 : 0);
    sqlite3_bind_int(s, 6, row.armed ? 1 : 0);
    const bool ok = sqlite3_step(s) == SQLITE_DONE;
    if (!ok) {
        error_ = sqlite3_errmsg(db_);
    }
    sqlite3_reset(s);
    return ok;
}

std::vector<EventRow> NightDatabase::LastEvents(int count) {
    std::vector<EventRow> rows;
    Statement s(db_, "SELECT * FROM (SELECT id, run, wall_ms, device_ms, clock_ms, kind, detail FROM events "
                     "ORDER BY id DESC LIMIT ?) ORDER BY id");
    if (!s) {
        error_ = sqlite3_errmsg(db_);
        return rows;
    }
    sqlite3_bind_int(s.get(), 1, count);
    while (sqlite3_step(s.get()) == SQLITE_ROW) {
        rows.push_back(ReadEvent(s.get()));
    }
    return rows;
}

std::vector<EventRow> NightDatabase::Events(std::int64_t fromMs, std::int64_t toMs) {
    std::vector<EventRow> rows;
    Statement s(db_, "SELECT id, run, wall_ms, device_ms, clock_ms, kind, detail FROM events "
                     "WHERE clock_ms >= ? AND clock_ms < ? ORDER BY clock_ms, id");
    if (!s) {
        error_ = sqlite3_errmsg(db_);
        return rows;
    }
    sqlite3_bind_int64(s.get(), 1, fromMs);
    sqlite3_bind_int64(s.get(), 2, toMs);
    while (sqlite3_step(s.get()) == SQLITE_ROW) {
        rows.push_back(ReadEvent(s.get()));
    }
    return rows;
}

std::vector<LevelRow> NightDatabase::Levels(std::int64_t fromT, std::int64_t toT) {
    std::vector<LevelRow> rows;
    Statement s(db_, "SELECT t, run, peak, mean, captured, armed FROM levels WHERE t >= ? AND t <= ? "
                     "ORDER BY t, run");
    if (!s) {
        error_ = sqlite3_errmsg(db_);
        return rows;
    }
    sqlite3_bind_int64(s.get(), 1, fromT);
    sqlite3_bind_int64(s.get(), 2, toT);
    while (sqlite3_step(s.get()) == SQLITE_ROW) {
        LevelRow row;
        row.t = sqlite3_column_int64(s.get(), 0);
        row.run = sqlite3_column_int64(s.get(), 1);
        if (sqlite3_column_type(s.get(), 2) != SQLITE_NULL) {
            row.peak = sqlite3_column_int(s.get(), 2);
            row.mean = sqlite3_column_double(s.get(), 3);
        }
        row.captured = sqlite3_column_int(s.get(), 4) != 0;
        row.armed = sqlite3_column_int(s.get(), 5) != 0;
        rows.push_back(row);
    }
    return rows;
}

} // namespace platform::record
