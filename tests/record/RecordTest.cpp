// The night's record below the program: details that survive any text, levels summed per second, a full
// queue that drops levels but never events, calls numbered with the first end that counts, old nights
// removed, a damaged file kept aside, and the log command's answers.
#include "platform/record/Record.h"
#include "platform/record/Detail.h"
#include "platform/record/LocalTime.h"
#include "platform/record/LogCommand.h"
#include "platform/record/NightDatabase.h"
#include "platform/win/Clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace record = platform::record;
using platform::Clock;
using record::EventRow;
using record::NightDatabase;

class Folder {
public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lullwatch-record-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    std::string path() const { return path_.string(); }
    std::string db() const { return (path_ / "night.sqlite").string(); }

private:
    std::filesystem::path path_;
};

// Starts a record in `folder` for one test and stops it at the end.
class Running {
public:
    explicit Running(const std::string& folder, record::Options options = {}) {
        options.folder = folder;
        record::Start(options, "test");
    }
    ~Running() { record::Stop(0); }
};

std::vector<EventRow> Events(const Folder& folder) {
    EXPECT_TRUE(record::Flush(std::chrono::seconds(10)));
    std::string error;
    auto db = NightDatabase::OpenForReading(folder.db(), &error);
    return db ? db->Events(INT64_MIN, INT64_MAX) : std::vector<EventRow>{};
}

std::vector<std::string> Kinds(const std::vector<EventRow>& events, const std::string& only = {}) {
    std::vector<std::string> kinds;
    for (const auto& e : events) {
        if (only.empty() || e.kind == only) {
            kinds.push_back(only.empty() ? e.kind : e.detail);
        }
    }
    return kinds;
}

// Waits (busily, a device second at most) for the start of the next device second.
void NextSecond() {
    const std::uint64_t second = Clock::NowMs() / 1000;
    while (Clock::NowMs() / 1000 == second) {
    }
}

TEST(RecordDetail, ValuesComeBackAsTheyWent) {
    const record::DetailPairs cases[] = {
        {{"level", "4"}, {"step", "3"}},
        {{"number", "+44 20 7946 0000"}},
        {{"text", "say \"no\" \\ twice"}, {"empty", ""}},
    };
    for (const auto& pairs : cases) {
        const auto parsed = record::ParseDetail(record::DetailText(pairs));
        ASSERT_EQ(parsed.size(), pairs.size()) << record::DetailText(pairs);
        for (const auto& [key, value] : pairs) {
            EXPECT_EQ(parsed.at(key), value) << record::DetailText(pairs);
        }
    }
}

TEST(RecordLevels, OneRowPerSecondWithItsHighestAndMean) {
    Clock::SetFactor(20);
    Folder folder;
    {
        Running on(folder.path());
        record::CaptureRunning(true);
        NextSecond();
        const std::uint64_t second = Clock::NowMs() / 1000;
        for (const int level : {3, 7, 2}) {
            record::Level(level);
        }
        record::Armed();
        record::CaptureRunning(false);
        while (Clock::NowMs() / 1000 < second + 3) {
            record::Flush(std::chrono::seconds(1));
        }
    }
    Clock::SetFactor(1);
    std::string error;
    auto db = NightDatabase::OpenForReading(folder.db(), &error);
    ASSERT_TRUE(db) << error;
    const auto rows = db->Levels(INT64_MIN, INT64_MAX);
    const auto loud =
        std::find_if(rows.begin(), rows.end(), [](const auto& r) { return r.peak.has_value(); });
    ASSERT_NE(loud, rows.end());
    EXPECT_EQ(*loud->peak, 7);
    EXPECT_DOUBLE_EQ(*loud->mean, 4.0);
    EXPECT_TRUE(loud->captured);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.peak.has_value(); }), 1);
    // The seconds after it: no buffer, capture stopped, armed.
    ASSERT_NE(loud + 1, rows.end());
    EXPECT_FALSE((loud + 1)->captured);
    EXPECT_TRUE((loud + 1)->armed);
    EXPECT_EQ((loud + 1)->t, loud->t + 1);
}

TEST(RecordQueue, AFullQueueDropsOldLevelsButNoEvents) {
    Clock::SetFactor(200);
    Folder folder;
    const std::string settings = folder.path() + "/Lullwatch";
    record::Options options;
    options.maxLevelRows = 4;
    Running on(settings, options); // the folder does not exist yet: everything waits in memory
    for (int i = 0; i < 20; ++i) {
        record::Level(i);
        record::Note("tick", record::DetailText({{"i", std::to_string(i)}}));
        NextSecond();
    }
    EXPECT_FALSE(record::Flush(std::chrono::seconds(5))); // no database yet
    EXPECT_GE(record::DroppedLevelRows(), 10u);
    std::filesystem::create_directory(settings);
    EXPECT_TRUE(record::Flush(std::chrono::seconds(10)));
    std::string error;
    auto db = NightDatabase::OpenForReading(settings + "/night.sqlite", &error);
    ASSERT_TRUE(db) << error;
    const auto events = db->Events(INT64_MIN, INT64_MAX);
    EXPECT_EQ(Kinds(events, "tick").size(), 20u);
    const auto dropped = Kinds(events, "levels-dropped");
    ASSERT_FALSE(dropped.empty());
    EXPECT_EQ(dropped.back(), "count=" + std::to_string(record::DroppedLevelRows()));
    const auto rows = db->Levels(INT64_MIN, INT64_MAX);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.peak == 19; }), 1);
    Clock::SetFactor(1);
}

TEST(RecordCalls, NumberedWithTheFirstEndThatCounts) {
    Folder folder;
    Running on(folder.path());
    using record::CallEnd;
    record::CallPlaced(1, 100, 7, L"5551234");
    record::CallState(100, "LINECALLSTATE_CONNECTED", "");
    record::CallEnded(100, CallEnd::FarEnd, "LINEDISCONNECTMODE_NORMAL");
    record::CallEnded(100, CallEnd::HangUp); // the program's lineDrop after the far end: not counted
    record::CallReleased(100);
    record::CallPlaced(1, 101, 8, L"5551234");
    record::CallRequestFailed(8, "LINEERR_CALLUNAVAIL");
    record::CallPlaced(2, 102, 9, L"5551234");
    record::LineFailed(2, "LINE_CLOSE");
    record::CallPlaced(2, 103, 10, L"5551234");
    record::CallEnded(103, CallEnd::HangUp);
    record::CallRefused(L"5551234", "LINEERR_RESOURCEUNAVAIL");
    const std::vector<std::string> ends = {"call=1 how=far-end reason=LINEDISCONNECTMODE_NORMAL",
                                           "call=2 how=failure reason=LINEERR_CALLUNAVAIL",
                                           "call=3 how=failure reason=LINE_CLOSE", "call=4 how=hang-up",
                                           "call=5 how=failure reason=LINEERR_RESOURCEUNAVAIL"};
    const auto events = Events(folder);
    EXPECT_EQ(Kinds(events, "call-end"), ends);
    EXPECT_EQ(Kinds(events, "call-state"), std::vector<std::string>{"call=1 state=LINECALLSTATE_CONNECTED"});
}

TEST(RecordSession, AlarmsOncePerCaptureRunAndStopsOnlyAStartedSession) {
    Folder folder;
    Running on(folder.path());
    record::SessionStopped(); // no session yet: nothing
    record::CaptureRunning(true);
    record::SessionStarted(L"555 1234", 3, 8, 2, 100);
    record::Armed();
    record::Alarm(4, 3);
    record::Alarm(5, 3); // the same loud moment, before capture stops
    record::CaptureRunning(false);
    record::CaptureRunning(true);
    record::Alarm(3, 3);
    record::SessionStopped();
    const std::vector<std::string> kinds = {"start",         "capture-start", "session",
                                            "armed",         "alarm",         "capture-stop",
                                            "capture-start", "alarm",         "session-stop"};
    const auto events = Events(folder);
    EXPECT_EQ(Kinds(events), kinds);
    EXPECT_EQ(events[2].detail, "number=\"555 1234\" step=3 averaging=8 factor=2 noise=100");
    EXPECT_EQ(Kinds(events, "alarm"), (std::vector<std::string>{"level=4 step=3", "level=3 step=3"}));
}

TEST(RecordFile, OldNightsGoAndADamagedFileIsKeptAside) {
    Folder folder;
    const std::int64_t day = 24LL * 3600 * 1000, now = record::WallClockMs();
    {
        std::string aside, error;
        auto db = NightDatabase::OpenForWriting(folder.db(), &aside, &error);
        ASSERT_TRUE(db) << error;
        db->AddEvent({0, 1, now - 40 * day, 0, now - 40 * day, "old", ""});
        db->AddEvent({0, 1, now - 2 * day, 0, now - 2 * day, "recent", ""});
    }
    {
        Running on(folder.path());
        EXPECT_EQ(Kinds(Events(folder)), (std::vector<std::string>{"recent", "start"}));
    }
    std::ofstream(folder.db(), std::ios::binary) << std::string(3000, '\x5a');
    std::filesystem::remove(folder.db() + "-wal");
    std::string aside, error;
    auto db = NightDatabase::OpenForWriting(folder.db(), &aside, &error);
    ASSERT_TRUE(db) << error;
    EXPECT_NE(aside.find("night.sqlite.damaged-"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(aside), 3000u);
    EXPECT_TRUE(db->AddEvent({0, 1, now, 0, now, "fresh", ""}));
}

TEST(RecordLogCommand, AnswersTheLastEventsAndTheLevels) {
    Folder folder;
    Running on(folder.path());
    record::Note("first", "a=1");
    record::Note("second");
    const auto last = record::LogCommand({"2"});
    ASSERT_TRUE(last.ok) << last.text;
    const auto newline = last.text.find('\n');
    ASSERT_NE(newline, std::string::npos) << last.text;
    EXPECT_NE(last.text.find("ms first a=1"), std::string::npos) << last.text;
    EXPECT_TRUE(last.text.ends_with("ms second")) << last.text;

    const std::string now = "@" + std::to_string(record::WallClockMs() / 1000);
    EXPECT_TRUE(record::LogCommand({"levels", "@0", now}).ok);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"0"}, {"x"}, {"1", "2"}, {"levels", "@0"}, {"levels", "yesterday", now}}) {
        EXPECT_FALSE(record::LogCommand(bad).ok) << bad[0];
    }
}

TEST(RecordLocalTime, ReadsWhatItWrites) {
    const std::int64_t ms = record::LocalMs(2026, 12, 8, 21 * 3600 + 4 * 60 + 5);
    EXPECT_EQ(record::LocalDateTime(ms), "2026-12-08 21:04:05");
    EXPECT_EQ(record::ParseLocalTime("2026-12-08T21:04:05"), ms);
    EXPECT_EQ(record::ParseLocalTime("2026-12-08 21:04"), ms - 5000);
    EXPECT_EQ(record::ParseLocalTime("@1700000000"), 1700000000000);
    EXPECT_FALSE(record::ParseLocalTime("21:04").has_value());
}

} // namespace
