// A meter update is cheap all the way to the screen: a PBM_SETPOS from another thread repaints the
// meter alone, the desktop reports only the meter's rectangle, and the frame shows the new level.
#include "platform/screen/HeadlessFrontEnd.h"
#include "platform/screen/Screen.h"
#include "platform/shell/Power.h"
#include "support/FrameWait.h"
#include "support/MeterPanel.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace {

using testing_support::MeterPanel;
using testing_support::WindowThread;

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(MeterUpdateTest, RepaintsAndRecomposesTheMeterAlone) {
    platform::desktop::SetScreenSize(240, 320);
    platform::shell::SetDisplayOn(true);
    WindowThread windows;
    const MeterPanel panel(windows);
    ASSERT_TRUE(platform::desktop::WaitUntilIdle(std::chrono::seconds(10)));

    std::mutex mutex;
    std::vector<RECT> changes;
    platform::desktop::SetChangeListener([&](const RECT& r) {
        std::lock_guard lock(mutex);
        changes.push_back(r);
    });
    SendMessage(panel.meter, PBM_SETPOS, 4, 0);
    ASSERT_TRUE(platform::desktop::WaitUntilIdle(std::chrono::seconds(10)));
    platform::desktop::SetChangeListener(nullptr);
    {
        std::lock_guard lock(mutex);
        ASSERT_FALSE(changes.empty());
        for (const RECT& r : changes) {
            EXPECT_TRUE(Inside(r, panel.meterOnScreen))
                << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        }
    }

    // Through a running screen: the middle of the meter is filled at 4 and empty at 1.
    platform::screen::Screen screen(std::make_unique<platform::screen::HeadlessFrontEnd>());
    std::string error;
    ASSERT_TRUE(screen.Start(&error)) << error;
    const int x = (panel.meterOnScreen.left + panel.meterOnScreen.right) / 2;
    const int y = (panel.meterOnScreen.top + panel.meterOnScreen.bottom) / 2;
    const auto middle = [&](const platform::gdi::Image& f) {
        return f.pixels[static_cast<std::size_t>(y) * f.width + x];
    };
    ASSERT_TRUE(
        testing_support::WaitForFrame(screen.compositor(), [&](const auto& f) { return middle(f) != 0; }));
    const auto filled = middle(screen.compositor().Frame()->snapshot());
    SendMessage(panel.meter, PBM_SETPOS, 1, 0);
    EXPECT_TRUE(testing_support::WaitForFrame(screen.compositor(),
                                              [&](const auto& f) { return middle(f) != filled; }));
    SendMessage(panel.meter, PBM_SETPOS, 4, 0);
    EXPECT_TRUE(testing_support::WaitForFrame(screen.compositor(),
                                              [&](const auto& f) { return middle(f) == filled; }));
}

} // namespace
