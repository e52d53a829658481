// The two process-wide records at program start, and the phone number's handover between threads.
#include "app/MonitorSession.h"
#include "settings/MonitorSettings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(StartValuesTest, NothingIsArmedOrPublishedAtProgramStart) {
    EXPECT_EQ(g_session.mainDialog.load(), nullptr);
    EXPECT_EQ(g_session.levelMeter.load(), nullptr);
    EXPECT_FALSE(g_session.sessionActive);
    EXPECT_FALSE(g_session.tickInProgress);
    EXPECT_EQ(g_session.countdownTicks, 0);
    EXPECT_FALSE(g_session.alarmArmed);
    EXPECT_EQ(g_session.savedVolume, 0u);
}

TEST(StartValuesTest, SettingsStartAtTheirDefaults) {
    EXPECT_EQ(g_settings.averagingPeriod, 1);
    EXPECT_EQ(g_settings.sensitivityFactor, 1);
    EXPECT_EQ(g_settings.noiseLength, 0);
    EXPECT_EQ(g_settings.alarmStep, 1);
    EXPECT_EQ(g_settings.phoneNumber.Get(), L"");
}

TEST(SharedTextTest, AReaderSeesWholeNumbersOnly) {
    const std::wstring numbers[] = {L"0123456789", L"+44 20 7946 0958 12345678901234"};
    SharedText text;
    text.Set(numbers[0]);
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done.load()) {
            const std::wstring seen = text.Get();
            ASSERT_TRUE(seen == numbers[0] || seen == numbers[1]) << "torn text";
        }
    });
    for (int i = 0; i < 20000; ++i) {
        text.Set(numbers[i % 2]);
    }
    done = true;
    reader.join();
}

} // namespace
