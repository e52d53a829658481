// The night's record from end to end: a sped-up session with loud moments and calls that end in four
// different ways leaves its events in order in night.sqlite, lullwatch-night draws the alarms where their
// times put them and counts what the line journal saw, and the record survives a killed program and a
// damaged file.
#include "MonitorDriver.h"

#include "platform/record/Detail.h"
#include "platform/record/NightDatabase.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <thread>

namespace {

using namespace lwe2e;
using platform::record::EventRow;
using platform::record::NightDatabase;
using platform::record::ParseDetail;

const std::vector<std::string> kSettings = {"device.clock_factor=20",
                                            "line.call-script=answer-then-hangup 2"};

// The chart's plot: kept in step with tools/night/NightChart.h by the test below, which would find the
// markers elsewhere otherwise.
constexpr int kLeft = 48, kRight = 16, kTop = 40, kPlotHeight = 240, kLaneGap = 8, kLaneHeight = 18;
constexpr std::uint32_t kAlarmColour = 0xDC0000, kFarEndColour = 0x2EA043;

std::vector<EventRow> Events(const DataRoot& data) {
    std::string error;
    auto db = NightDatabase::OpenForReading((data.SettingsFolder() / "night.sqlite").string(), &error);
    if (!db) {
        ADD_FAILURE() << error;
        return {};
    }
    return db->Events(0, INT64_MAX);
}

std::string Shell(const std::string& command, int* status = nullptr) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) {
            out.append(chunk, n);
        }
        const int rc = pclose(pipe);
        if (status != nullptr) {
            *status = rc;
        }
    }
    return out;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<png_byte> rgb;
    std::uint32_t at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return (rgb[i] << 16) | (rgb[i + 1] << 8) | rgb[i + 2];
    }
};

Picture ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture p;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path;
        return p;
    }
    image.format = PNG_FORMAT_RGB;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr);
    p.width = static_cast<int>(image.width);
    p.height = static_cast<int>(image.height);
    return p;
}

// Waits for the next call, then sets the script the call after it will follow.
std::uint64_t NextCall(Monitor& monitor, std::uint64_t from, const std::string& nextScript) {
    const auto call = monitor.WaitForLineCall("lineMakeCall", from);
    EXPECT_TRUE(call.has_value());
    monitor.Do("line script " + Word(nextScript));
    return call ? call->first + 1 : from;
}

// The loud room calls four times: the far end hangs up, the line is busy, nobody answers, and the last
// call is hung up with "Hang Up" once connected.
void NightWithFourCalls(Monitor& monitor) {
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Stop - 0 sec");
    monitor.Do("sound tone 440 60");
    std::uint64_t from = NextCall(monitor, 1, "busy");
    from = NextCall(monitor, from, "no-answer 3");
    from = NextCall(monitor, from, "0:reply 200:dialtone 400:connected");
    NextCall(monitor, from, "answer-then-hangup 2");
    monitor.Do("sound silence");
    monitor.Wait("text foreground 1001 is Connected");
    monitor.Do("click foreground id=2");
    monitor.Wait("device \"sound state\" contains open");
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Run");
}

TEST(NightRecord, SessionCallsAndChart) {
    DataRoot data;
    data.Write("phonenumber.txt", "5551234");
    data.Write("sound.txt", "\x03");
    Monitor monitor(data, kSettings);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    NightWithFourCalls(monitor);
    std::string journal;
    for (const auto& line : monitor.Do("line log").lines) {
        journal += line + "\n";
    }
    // The sleep inhibitor's indicator (no logind here) may change just after the session's events.
    EXPECT_NE(monitor.Do("log 3").Text().find("session-stop"), std::string::npos);
    ASSERT_EQ(monitor.Quit(), 0);

    // The events that tell the night, in order, with their numbers.
    struct Expected {
        const char* kind;
        std::map<std::string, std::string> detail; // the keys that must have these values
    };
    const Expected expected[] = {
        {"session",
         {{"number", "5551234"}, {"step", "3"}, {"averaging", "1"}, {"factor", "1"}, {"noise", "0"}}},
        {"armed", {}},
        {"alarm", {{"step", "3"}}},
        {"call", {{"call", "1"}, {"number", "5551234"}}},
        {"call-end", {{"call", "1"}, {"how", "far-end"}, {"reason", "LINEDISCONNECTMODE_NORMAL"}}},
        {"alarm", {{"step", "3"}}},
        {"call", {{"call", "2"}, {"number", "5551234"}}},
        {"call-end", {{"call", "2"}, {"how", "failure"}, {"reason", "LINECALLSTATE_BUSY"}}},
        {"alarm", {{"step", "3"}}},
        {"call", {{"call", "3"}}},
        {"call-end", {{"call", "3"}, {"how", "timeout"}, {"reason", "LINEDISCONNECTMODE_NOANSWER"}}},
        {"alarm", {{"step", "3"}}},
        {"call", {{"call", "4"}}},
        {"call-end", {{"call", "4"}, {"how", "hang-up"}}},
        {"session-stop", {}},
        {"end", {{"how", "asked to quit through the automation channel"}, {"code", "0"}}},
    };
    const auto events = Events(data);
    std::vector<EventRow> told;
    std::vector<std::string> firstCallStates;
    for (const auto& e : events) {
        for (const auto& x : expected) {
            if (e.kind == x.kind) {
                told.push_back(e);
                break;
            }
        }
        const auto d = ParseDetail(e.detail);
        if (e.kind == "call-state" && d.at("call") == "1") {
            firstCallStates.push_back(d.at("state") + (d.count("mode") ? "/" + d.at("mode") : ""));
        }
    }
    ASSERT_EQ(told.size(), std::size(expected)) << journal;
    for (std::size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].kind, expected[i].kind) << i;
        const auto d = ParseDetail(told[i].detail);
        for (const auto& [key, value] : expected[i].detail) {
            EXPECT_EQ(d.count(key) ? d.at(key) : "(none)", value) << i << " " << told[i].detail;
        }
        if (told[i].kind == std::string("alarm")) {
            EXPECT_GE(std::stoi(d.at("level")), 3);
        }
    }
    const std::vector<std::string> states = {"LINECALLSTATE_DIALTONE/0x00000001",
                                             "LINECALLSTATE_DIALING",
                                             "LINECALLSTATE_PROCEEDING",
                                             "LINECALLSTATE_RINGBACK",
                                             "LINECALLSTATE_CONNECTED",
                                             "LINECALLSTATE_DISCONNECTED/LINEDISCONNECTMODE_NORMAL",
                                             "LINECALLSTATE_IDLE"};
    EXPECT_EQ(firstCallStates, states);

    // A level row for every second of the session: loud and armed before the calls, not listening in them.
    std::string error;
    auto db = NightDatabase::OpenForReading((data.SettingsFolder() / "night.sqlite").string(), &error);
    ASSERT_TRUE(db) << error;
    const auto levels = db->Levels(told.front().clockMs / 1000, told[told.size() - 2].clockMs / 1000);
    // (a device second's row is named by the clock second its start falls in, so the ends may differ by one)
    EXPECT_GE(levels.size() + 2,
              static_cast<std::size_t>((told[told.size() - 2].clockMs - told.front().clockMs) / 1000));
    EXPECT_TRUE(std::any_of(levels.begin(), levels.end(),
                            [](const auto& r) { return r.captured && r.armed && r.peak.value_or(0) >= 3; }));
    EXPECT_TRUE(
        std::any_of(levels.begin(), levels.end(), [](const auto& r) { return !r.captured && !r.peak; }));

    // The chart: one marker per alarm where its time puts it, the far end's call in its colour.
    const std::string png = (data.path() / "night.png").string();
    const std::string tool =
        std::string(LULLWATCH_NIGHT_BINARY) + " --data " + data.SettingsFolder().string();
    int status = -1;
    Shell(tool + " --width 900 --png " + png, &status);
    ASSERT_EQ(status, 0);
    const Picture picture = ReadPng(png);
    ASSERT_EQ(picture.width, 900);
    const std::int64_t from = told.front().clockMs, to = told[told.size() - 2].clockMs;
    const auto x = [&](std::int64_t ms) {
        return static_cast<int>(kLeft +
                                static_cast<double>(ms - from) * (900 - kLeft - kRight) / (to - from));
    };
    std::vector<int> expectedMarkers, foundMarkers;
    for (const auto& e : told) {
        if (e.kind == "alarm") {
            expectedMarkers.push_back(x(e.clockMs));
        }
    }
    for (int column = 0; column < picture.width; ++column) {
        if (picture.at(column, kTop + 3) == kAlarmColour &&
            (foundMarkers.empty() || column - foundMarkers.back() > 12)) {
            foundMarkers.push_back(column);
        }
    }
    ASSERT_EQ(foundMarkers.size(), expectedMarkers.size());
    for (std::size_t i = 0; i < foundMarkers.size(); ++i) {
        // A marker is ten pixels wide around its time; its first red column is five to the left.
        EXPECT_NEAR(foundMarkers[i] + 5, expectedMarkers[i], 2) << i;
    }
    const int laneY = kTop + kPlotHeight + kLaneGap + kLaneHeight / 2;
    EXPECT_EQ(picture.at((x(told[3].clockMs) + x(told[4].clockMs)) / 2, laneY), kFarEndColour);

    // The summary counts what the line journal shows.
    int placed = 0;
    for (std::size_t at = journal.find("lineMakeCall"); at != std::string::npos;
         at = journal.find("lineMakeCall", at + 1)) {
        ++placed;
    }
    const std::string summary = Shell(tool);
    EXPECT_NE(summary.find("Alarms: 4\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Calls: " + std::to_string(placed) + ", connected 2, failed 2\n"),
              std::string::npos)
        << summary << journal;
    EXPECT_NE(summary.find("1 failure (LINECALLSTATE_BUSY)"), std::string::npos) << summary;
    EXPECT_NE(summary.find("1 timeout (LINEDISCONNECTMODE_NOANSWER)"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Deaf: none"), std::string::npos) << summary;
}

TEST(NightRecord, SurvivesAKillAndADamagedFile) {
    DataRoot data;
    data.Write("phonenumber.txt", "5551234");
    {
        Monitor monitor(data, kSettings);
        ASSERT_TRUE(monitor.started()) << monitor.Stderr();
        monitor.Do("click " + monitor.main() + " id=1000");
        monitor.WaitText(1000, "Stop");
        monitor.WaitText(1000, "Stop - 20 sec");
        // "log" answers once what came before it is committed (the sleep indicator may follow the
        // session's start).
        EXPECT_NE(monitor.Do("log 3").Text().find("session"), std::string::npos);
        monitor.Kill();
    }
    // Everything committed before the kill is there, in a database that passes its check.
    std::string error, aside;
    {
        auto db =
            NightDatabase::OpenForWriting((data.SettingsFolder() / "night.sqlite").string(), &aside, &error);
        ASSERT_TRUE(db) << error;
        EXPECT_EQ(aside, "");
        const auto events = db->Events(0, INT64_MAX);
        ASSERT_GE(events.size(), 3u);
        EXPECT_EQ(events.front().kind, "start");
        EXPECT_TRUE(
            std::any_of(events.begin(), events.end(), [](const EventRow& e) { return e.kind == "session"; }));
        EXPECT_FALSE(db->Levels(0, INT64_MAX).empty());
    }

    struct Damage {
        const char* name;
        void (*apply)(const std::filesystem::path& file);
    };
    const Damage damages[] = {
        {"garbage",
         [](const std::filesystem::path& f) {
             std::ofstream(f, std::ios::binary) << std::string(5000, 'x');
         }},
        {"truncated",
         [](const std::filesystem::path& f) {
             std::filesystem::resize_file(f, std::filesystem::file_size(f) / 2);
             std::filesystem::remove(f.string() + "-wal");
         }},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.name);
        damage.apply(data.SettingsFolder() / "night.sqlite");
        Monitor monitor(data, kSettings);
        ASSERT_TRUE(monitor.started()) << monitor.Stderr();
        EXPECT_NE(monitor.Answer("log 1").find("start"), std::string::npos);
        // The note on standard error was written before "log" answered; its reader may lag behind.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
        while (monitor.Stderr().find("starting a new record") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        EXPECT_NE(monitor.Stderr().find("starting a new record"), std::string::npos) << monitor.Stderr();
        EXPECT_EQ(monitor.Quit(), 0);
        std::string files;
        for (const auto& entry : std::filesystem::directory_iterator(data.SettingsFolder())) {
            files += entry.path().filename().string() + " ";
        }
        EXPECT_NE(files.find("night.sqlite.damaged-"), std::string::npos) << files;
        EXPECT_EQ(Events(data).back().kind, "end");
    }
}

} // namespace
