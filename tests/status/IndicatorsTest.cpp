// The indicators of what the monitor cannot do: listeners hear each real change once, the status area
// joins the raised texts, the caption bar shows them in the warning colour, and the channel lists them.
#include "platform/status/Indicators.h"
#include "platform/automation/DeviceCommands.h"
#include "platform/automation/StatusCommand.h"
#include "platform/gdi/Surface.h"
#include "platform/screen/ScreenChrome.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace platform;
using status::Indicator;

TEST(Indicators, ListenersHearEachChangeOnceAndTheAreaJoinsTheTexts) {
    std::vector<status::Raised> heard;
    const int id = status::AddListener([&](const status::Raised& now) { heard.push_back(now); });

    status::Raise(Indicator::Line, L"No line", "LINEERR_NODEVICE");
    status::Raise(Indicator::Line, L"No line", "LINEERR_NODEVICE"); // no change: not heard
    status::Raise(Indicator::Microphone, L"No microphone", "waveInOpen: MMSYSERR_NODRIVER");
    EXPECT_EQ(status::WarningText(), L"No microphone \u00B7 No line");
    EXPECT_TRUE(status::IsRaised(Indicator::Line));

    automation::RegisterStatusCommand();
    automation::CommandResult result;
    ASSERT_TRUE(automation::RunDeviceCommand("status", {}, &result));
    EXPECT_EQ(result.text,
              "microphone: No microphone; waveInOpen: MMSYSERR_NODRIVER\nline: No line; LINEERR_NODEVICE");

    status::Clear(Indicator::Microphone);
    status::Clear(Indicator::Line);
    status::Clear(Indicator::Line);
    ASSERT_TRUE(automation::RunDeviceCommand("status", {}, &result));
    EXPECT_EQ(result.text, "all well");
    status::RemoveListener(id);
    status::Raise(Indicator::SleepInhibitor, L"May sleep");
    status::Clear(Indicator::SleepInhibitor);

    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard[0], (status::Raised{Indicator::Line, L"No line", "LINEERR_NODEVICE"}));
    EXPECT_EQ(heard[1].which, Indicator::Microphone);
    EXPECT_EQ(heard[2], (status::Raised{Indicator::Microphone, L"", ""}));
    EXPECT_EQ(heard[3], (status::Raised{Indicator::Line, L"", ""}));
}

TEST(Indicators, CaptionBarShowsTheWarningInItsColourInsteadOfTheStatus) {
    const auto frame = std::make_shared<gdi::Surface>(240, 26);
    screen::DrawCaptionBar(frame, RECT{0, 0, 240, 26}, {L"Lullwatch", L"Simulated line", L"No microphone"});
    EXPECT_EQ(frame->snapshot().pixels[238], screen::kWarningPixel);
    EXPECT_EQ(frame->snapshot().pixels[2], screen::kCaptionBarPixel);
    screen::DrawCaptionBar(frame, RECT{0, 0, 240, 26}, {L"Lullwatch", L"Simulated line", L""});
    EXPECT_EQ(frame->snapshot().pixels[238], screen::kCaptionBarPixel);
}

} // namespace
