// Ending the program while it starts: a quit, or the end of standard input, that comes before the main
// window exists is kept and carried out. And a display that does not work: a clear exit when a window is
// asked for, a headless run when the profile lets the program choose.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace {

using namespace lwe2e;
using platform::automation::AutomationClient;
using Clock = std::chrono::steady_clock;

// Real time a start that is ended at once may take, start-up included. The sanitizer builds run several
// times slower; a lost request would take the 20 s watchdog either way.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kEndWithinMs = 8000;
#else
constexpr int kEndWithinMs = 2000;
#endif
constexpr int kStartsPerWay = 50;
constexpr int kBatch = 10;

AutomationClient::Options TestProgram(const std::vector<std::string>& settings = {}) {
    AutomationClient::Options options{LULLWATCH_MONITOR_BINARY, LULLWATCH_TEST_PROFILE};
    options.settings = settings;
    return options;
}

// The program on a display that names nothing. SDL's probe of it leaves an allocation of libdbus behind
// at exit, in code whose stacks cannot be unwound to be suppressed: no leak check for these runs.
AutomationClient::Options OnADisplayThatDoesNotWork(const std::string& frontEnd) {
    auto options = TestProgram({"screen.frontend=" + frontEnd});
    const char* asan = std::getenv("ASAN_OPTIONS");
    options.environment = {"DISPLAY=:97", "WAYLAND_DISPLAY=lullwatch-no-such-display",
                           std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":detect_leaks=0"};
    return options;
}

TEST(StartupEnd, QuitOrEndOfInputAtOnceEndsEveryStartCleanly) {
    int late = 0;
    for (int first = 0; first < 2 * kStartsPerWay; first += kBatch) {
        struct Start {
            std::unique_ptr<AutomationClient> client;
            Clock::time_point at;
        };
        std::vector<Start> batch;
        for (int i = first; i < first + kBatch; ++i) {
            std::string error;
            Start start{AutomationClient::Start(TestProgram(), &error), Clock::now()};
            ASSERT_TRUE(start.client) << error;
            // Even starts see their input end, odd ones get quit before anything else.
            if (i % 2 == 0) {
                start.client->EndInput();
            } else {
                start.client->Command("quit", kEndWithinMs);
            }
            batch.push_back(std::move(start));
        }
        for (auto& start : batch) {
            const auto left =
                kEndWithinMs -
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start.at).count();
            const auto code = start.client->WaitForExit(static_cast<int>(std::max<long long>(left, 0)));
            if (!code) {
                ++late;
                EXPECT_EQ(start.client->WaitForExit(kPatienceMs), 0) << start.client->Stderr();
                continue;
            }
            EXPECT_EQ(*code, 0) << start.client->Stderr();
        }
    }
    EXPECT_EQ(late, 0) << "starts that took longer than " << kEndWithinMs << " ms to end";
}

TEST(StartupEnd, AWindowOnADisplayThatDoesNotWorkEndsWithCodeTwoNamingIt) {
    const auto options = OnADisplayThatDoesNotWork("sdl");
    std::string error;
    auto client = AutomationClient::Start(options, &error);
    ASSERT_TRUE(client) << error;
    EXPECT_EQ(client->WaitForExit(kPatienceMs), 2);
    EXPECT_NE(client->Stderr().find("DISPLAY=:97"), std::string::npos) << client->Stderr();
}

TEST(StartupEnd, AutoOnADisplayThatDoesNotWorkRunsHeadlessAndSaysSo) {
    const auto options = OnADisplayThatDoesNotWork("auto");
    std::string error;
    auto client = AutomationClient::Start(options, &error);
    ASSERT_TRUE(client) << error;
    EXPECT_TRUE(client->WaitFor("window Lullwatch", kPatienceMs)) << client->Stderr();
    EXPECT_EQ(client->Quit(), 0);
    const std::string said = client->Stderr();
    EXPECT_NE(said.find("no working display (DISPLAY=:97"), std::string::npos) << said;
    EXPECT_NE(said.find("running headless instead"), std::string::npos) << said;
}

} // namespace
