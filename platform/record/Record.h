// The night's record: what happened while the monitor ran, for the morning after. Any part of the house
// may report an event or a sound level from any thread, the capture callback, the window thread and the
// alarm path included: a report only takes a short lock and puts a row on a bounded queue; it never waits
// for the disk. A writer thread of its own commits the queue to night.sqlite in the settings folder
// (NightDatabase.h): events as they come, level rows every five seconds, so that a killed process
// loses at most those last moments.
//
// Levels are kept per device second: the highest and the mean level of the buffers that ended in it,
// whether capture ran and whether the session was armed; seconds without a buffer get a row without
// levels. When the queue is full the oldest level rows are dropped and counted (the count is recorded);
// events are never dropped. The database is opened only once the settings folder exists, so that a
// program that never stored a setting leaves nothing behind; until then the rows wait in memory.
//
// Before Start and after Stop every report is ignored, so code that reports may run without a record.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::record {

struct Options {
    std::string folder;              // where night.sqlite goes (the settings folder)
    int keepDays = 30;               // nights older than this are removed at start
    bool enabled = true;             // false: nothing is recorded at all
    std::size_t maxLevelRows = 4096; // level rows queued at most (about an hour); beyond, the oldest go
};

// Starts the writer and records the program's start. `describe` says what runs (the profile).
void Start(const Options& options, const std::string& describe = {});
// Records the program's end with its exit code, writes what is queued and ends the writer.
void Stop(int exitCode);
bool Running();

// Waits (real time) until everything reported so far is committed; false if that did not happen in time
// or there is no database.
bool Flush(std::chrono::milliseconds timeout);
// The database's path ("" before Start).
std::string DatabasePath();

// Any event: `kind` a short word, `detail` key=value words (Detail.h).
void Note(std::string_view kind, std::string detail = {});

// The sound level of one capture buffer.
void Level(int level);
void CaptureRunning(bool running);

// The monitoring session.
void SessionStarted(std::wstring_view number, int step, int averaging, int factor, int noiseLength);
void Armed();
void SessionStopped(); // recorded only when a session was started
// A buffer reached the alarm step; recorded once until capture runs again.
void Alarm(int level, int step);

// The program is asked to end from outside (`why`), before Stop.
void EndRequested(const std::string& why);

// Calls: the line layer numbers them 1, 2, ... per run and records each state as the service reports it.
enum class CallEnd { FarEnd, HangUp, Timeout, Failure };
const char* CallEndName(CallEnd end); // "far-end", "hang-up", "timeout", "failure"
void CallPlaced(std::uint32_t line, std::uint32_t call, std::uint32_t request, std::wstring_view number);
void CallRefused(std::wstring_view number, const std::string& reason);
void CallState(std::uint32_t call, const std::string& state, const std::string& mode);
// The first end reported for a call counts; later ones are ignored.
void CallEnded(std::uint32_t call, CallEnd end, const std::string& reason = {});
void CallRequestFailed(std::uint32_t request, const std::string& reason);
void LineFailed(std::uint32_t line, const std::string& reason); // ends the line's open calls
void CallReleased(std::uint32_t call);

// Counters for tests and benchmarks.
std::uint64_t DroppedLevelRows();

} // namespace platform::record
