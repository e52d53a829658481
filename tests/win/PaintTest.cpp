// Painting: WM_PAINT comes last, WM_ERASEBKGND comes inside BeginPaint when asked for, invalidating a
// parent repaints the children it covers after it, and invalidating a child repaints only that child.
#include "TestWindows.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/Surface.h"
#include "platform/win/Desktop.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using namespace lwtest;

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kRed = 0x00FF0000;
constexpr std::uint32_t kBlue = 0x000000FF;
constexpr UINT kDrawn = WM_APP + 2; // a paint handler drew, as a row of the log

class PaintTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        white_ = CreateSolidBrush(RGB(255, 255, 255));
        red_ = CreateSolidBrush(RGB(255, 0, 0));
        blue_ = CreateSolidBrush(RGB(0, 0, 255));
        top_ = MakeWindow("top", WS_POPUP | WS_VISIBLE, nullptr, {0, 26, 240, 268}, nullptr, 0, 0, white_);
        // The meter paints for itself and logs when it draws: after BeginPaint has had it erased.
        meter_ = MakeWindow(
            "meter", WS_CHILD | WS_VISIBLE, top_, {20, 20, 10, 100},
            [](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
                if (msg != WM_PAINT) {
                    return std::nullopt;
                }
                PAINTSTRUCT ps{};
                BeginPaint(hwnd, &ps);
                Log().add("meter", kDrawn, static_cast<WPARAM>(ps.fErase), 0);
                EndPaint(hwnd, &ps);
                return 0;
            },
            1002, 0, red_);
        label_ = MakeWindow("label", WS_CHILD | WS_VISIBLE, top_, {100, 20, 50, 20}, nullptr, 1001, 0, blue_);
        Pump();
        platform::desktop::SetChangeListener([this](const RECT& r) {
            std::lock_guard lock(mutex_);
            changed_.push_back(r);
        });
        Log().watch({WM_PAINT, WM_ERASEBKGND, WM_USER + 1, kDrawn});
    }
    void TearDown() override {
        platform::desktop::SetChangeListener(nullptr);
        DestroyWindow(top_);
        DeleteObject(white_);
        DeleteObject(red_);
        DeleteObject(blue_);
        WinTest::TearDown();
    }
    std::vector<RECT> takeChanges() {
        std::lock_guard lock(mutex_);
        return std::exchange(changed_, {});
    }
    std::uint32_t pixel(int x, int y) {
        for (const auto& view : platform::desktop::VisibleTopLevels()) {
            if (view.hwnd == top_) {
                std::lock_guard lock(view.surface->mutex());
                return view.surface->at(x, y);
            }
        }
        return 0xFFFFFFFF;
    }

    HBRUSH white_{}, red_{}, blue_{};
    HWND top_{}, meter_{}, label_{};
    std::mutex mutex_;
    std::vector<RECT> changed_;
};

TEST_F(PaintTest, InvalidatingAChildRepaintsOnlyThatChild) {
    InvalidateRect(meter_, nullptr, TRUE);
    Pump();
    ExpectSequence(Log().take(), {{"meter", WM_PAINT}, {"meter", WM_ERASEBKGND}, {"meter", kDrawn, FALSE}},
                   "meter update: erased (by its class brush) before it draws");
    const auto changes = takeChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].left, 20);
    EXPECT_EQ(changes[0].top, 46);
    EXPECT_EQ(changes[0].right, 30);
    EXPECT_EQ(changes[0].bottom, 146);
    EXPECT_EQ(pixel(25, 50), kRed);
    EXPECT_EQ(pixel(110, 25), kBlue);
    EXPECT_EQ(pixel(5, 5), kWhite);
}

TEST_F(PaintTest, InvalidationsRepaintTheirWindowsAndTheChildrenTheyCover) {
    const RECT aroundLabel{90, 10, 200, 50};
    const RECT nothing{200, 200, 210, 210};
    const struct {
        const char* what;
        HWND window;
        const RECT* rect;
        BOOL erase;
        std::vector<Expected> expected;
    } cases[] = {
        {"whole top, erase",
         top_,
         nullptr,
         TRUE,
         {{"top", WM_PAINT},
          {"top", WM_ERASEBKGND},
          {"meter", WM_PAINT},
          {"meter", WM_ERASEBKGND},
          {"meter", kDrawn, FALSE},
          {"label", WM_PAINT},
          {"label", WM_ERASEBKGND}}},
        {"whole top, no erase",
         top_,
         nullptr,
         FALSE,
         {{"top", WM_PAINT}, {"meter", WM_PAINT}, {"meter", kDrawn, FALSE}, {"label", WM_PAINT}}},
        {"around the label",
         top_,
         &aroundLabel,
         TRUE,
         {{"top", WM_PAINT}, {"top", WM_ERASEBKGND}, {"label", WM_PAINT}, {"label", WM_ERASEBKGND}}},
        {"no child", top_, &nothing, TRUE, {{"top", WM_PAINT}, {"top", WM_ERASEBKGND}}},
        {"label alone", label_, nullptr, FALSE, {{"label", WM_PAINT}}},
    };
    for (const auto& c : cases) {
        Log().clear();
        InvalidateRect(c.window, c.rect, c.erase);
        Pump();
        ExpectSequence(Log().take(), c.expected, c.what);
    }
    EXPECT_EQ(pixel(25, 50), kRed) << "children paint after their parent";
}

TEST_F(PaintTest, PaintComesAfterPostedMessagesAndUpdateWindowPaintsAtOnce) {
    InvalidateRect(meter_, nullptr, TRUE);
    PostMessage(top_, WM_USER + 1, 0, 0);
    Pump();
    ExpectSequence(Log().take(),
                   {{"top", WM_USER + 1}, {"meter", WM_PAINT}, {"meter", WM_ERASEBKGND}, {"meter", kDrawn}},
                   "paint is the lowest priority");

    InvalidateRect(label_, nullptr, TRUE);
    UpdateWindow(top_);
    ExpectSequence(Log().take(), {{"label", WM_PAINT}, {"label", WM_ERASEBKGND}}, "UpdateWindow");
}

TEST_F(PaintTest, HidingAChildRepaintsWhatItCovered) {
    ShowWindow(label_, SW_HIDE);
    Pump();
    ExpectSequence(Log().take(), {{"top", WM_PAINT}, {"top", WM_ERASEBKGND}}, "hidden label");
    EXPECT_EQ(pixel(110, 25), kWhite);
    InvalidateRect(label_, nullptr, TRUE);
    Pump();
    EXPECT_TRUE(Log().take().empty()) << "a hidden window is not painted";
}

} // namespace
