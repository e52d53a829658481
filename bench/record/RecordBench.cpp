// What a report costs the thread that makes it: a capture buffer's level (the capture callback's one
// added call) and an event, with the writer thread running and committing to a real file once a
// second, and with no record at all for the floor.
#include "platform/record/Record.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

namespace record = platform::record;

class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lullwatch-record-bench-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string path() const { return path_; }

private:
    std::string path_;
};

void LevelWithoutRecord(benchmark::State& state) {
    int level = 0;
    for (auto _ : state) {
        record::Level(level++ & 63);
    }
}
BENCHMARK(LevelWithoutRecord);

void LevelPerBuffer(benchmark::State& state) {
    TempFolder folder;
    record::Start({folder.path()}, "bench");
    int level = 0;
    for (auto _ : state) {
        record::Level(level++ & 63);
    }
    record::Stop(0);
}
BENCHMARK(LevelPerBuffer)->UseRealTime();

void EventWithDetail(benchmark::State& state) {
    TempFolder folder;
    record::Start({folder.path()}, "bench");
    for (auto _ : state) {
        record::Alarm(4, 3);
        record::CaptureRunning(true); // lets the next alarm through
        record::CaptureRunning(false);
    }
    record::Stop(0);
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(EventWithDetail)->UseRealTime();

} // namespace
