// One device-hour of the simulated night: six loud bursts, each placing a call that is answered and hung
// up, after each of which capture resumes; the process keeps its descriptors and threads.
#include "Night.h"

#include <gtest/gtest.h>

namespace {

TEST(Night, EveryBurstOfADeviceHourCallsEndsAndResumesWithFlatDescriptorsAndThreads) {
    lwnight::NightOptions options;
    options.program = LULLWATCH_MONITOR_BINARY;
    options.profile = LULLWATCH_TEST_PROFILE;
    options.hours = 1;
    const auto night = lwnight::RunNight(options);
    ASSERT_TRUE(night.ok) << night.error;
    ASSERT_EQ(night.hours.size(), 1u);
    const auto& hour = night.hours.front();
    EXPECT_EQ(hour.placed, 6);
    EXPECT_EQ(hour.ended, 6);
    EXPECT_EQ(hour.resumed, 6);
    ASSERT_FALSE(night.quiet.empty());
    for (std::size_t i = 1; i < night.quiet.size(); ++i) {
        EXPECT_EQ(night.quiet[i].descriptors, night.quiet.front().descriptors) << "after burst " << i + 1;
        EXPECT_EQ(night.quiet[i].threads, night.quiet.front().threads) << "after burst " << i + 1;
    }
    EXPECT_EQ(night.exitCode, 0);
}

} // namespace
