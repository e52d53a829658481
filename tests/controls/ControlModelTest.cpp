// The controls' numbers and text without windows: progress clamping and stepping, trackbar clamping,
// keys, ticks and pixel mapping, and the edit field's typing rules.
#include "platform/controls/ControlConstants.h"
#include "platform/controls/EditText.h"
#include "platform/controls/ProgressModel.h"
#include "platform/controls/TrackbarModel.h"

#include <gtest/gtest.h>

namespace platform::controls {
namespace {

TEST(ProgressModel, SetPosClampsAndReturnsThePreviousPosition) {
    struct Case {
        int pos;
        int expectedReturn;
        int expectedPos;
    };
    const Case cases[] = {{3, 0, 3}, {9, 3, 5}, {-2, 5, 0}, {5, 0, 5}, {0, 5, 0}};
    ProgressModel m;
    m.setRange(0, 5);
    for (const Case& c : cases) {
        EXPECT_EQ(m.setPos(c.pos), c.expectedReturn) << c.pos;
        EXPECT_EQ(m.pos(), c.expectedPos) << c.pos;
    }
}

TEST(ProgressModel, RangeChangeReportsTheOldRangeAndClampsThePosition) {
    ProgressModel m;
    m.setPos(80);
    EXPECT_EQ(m.setRange(0, 5), MAKELONG(0, 100));
    EXPECT_EQ(m.pos(), 5);
    EXPECT_EQ(m.setStep(1), 10);
}

TEST(ProgressModel, StepItWrapsPastTheTop) {
    ProgressModel m;
    m.setRange(0, 5);
    m.setStep(2);
    const int expected[] = {2, 4, 1, 3, 5, 2};
    for (const int e : expected) {
        m.stepIt();
        EXPECT_EQ(m.pos(), e);
    }
}

TEST(ProgressModel, FilledPixelsFollowThePosition) {
    ProgressModel m;
    m.setRange(0, 5);
    const int expected[] = {0, 22, 45, 67, 90, 113};
    for (int pos = 0; pos <= 5; ++pos) {
        m.setPos(pos);
        EXPECT_EQ(m.filled(113), expected[pos]) << pos;
    }
}

TEST(TrackbarModel, PositionOutsideTheRangeIsKeptAtTheNearerEnd) {
    struct Case {
        int min, max, pos, expected;
    };
    const Case cases[] = {{1, 40, 0, 1}, {1, 40, 41, 40}, {1, 40, 8, 8}, {0, 250, 300, 250}, {1, 20, -7, 1}};
    for (const Case& c : cases) {
        TrackbarModel m;
        m.setRangeMin(c.min);
        m.setRangeMax(c.max);
        m.setPos(c.pos);
        EXPECT_EQ(m.pos(), c.expected) << c.min << ".." << c.max << " " << c.pos;
    }
}

TEST(TrackbarModel, RangeChangeMovesThePositionInside) {
    TrackbarModel m; // 0..100 at 0
    m.setRangeMin(1);
    EXPECT_EQ(m.pos(), 1);
    m.setPos(90);
    m.setRangeMax(40);
    EXPECT_EQ(m.pos(), 40);
}

TEST(TrackbarModel, KeysMoveByLinePageOrToTheEnds) {
    struct Step {
        UINT vk;
        WORD code;
        int pos;
    };
    TrackbarModel m; // line 1, page (250-0)/5 = 50
    m.setRangeMax(250);
    m.setPos(100);
    const Step steps[] = {{VK_RIGHT, TB_LINEDOWN, 101}, {VK_DOWN, TB_LINEDOWN, 102},
                          {VK_LEFT, TB_LINEUP, 101},    {VK_UP, TB_LINEUP, 100},
                          {VK_NEXT, TB_PAGEDOWN, 150},  {VK_PRIOR, TB_PAGEUP, 100},
                          {VK_END, TB_BOTTOM, 250},     {VK_NEXT, TB_PAGEDOWN, 250},
                          {VK_HOME, TB_TOP, 0},         {VK_LEFT, TB_LINEUP, 0}};
    for (const Step& s : steps) {
        const auto code = m.key(s.vk);
        ASSERT_TRUE(code.has_value()) << s.vk;
        EXPECT_EQ(*code, s.code) << s.vk;
        EXPECT_EQ(m.pos(), s.pos) << s.vk;
    }
    EXPECT_FALSE(m.key(VK_SPACE).has_value());
}

TEST(TrackbarModel, DefaultPageIsAFifthOfTheRange) {
    TrackbarModel m;
    m.setRangeMin(1);
    m.setRangeMax(40);
    EXPECT_EQ(m.pageSize(), 7);
    EXPECT_EQ(m.lineSize(), 1);
}

TEST(TrackbarModel, TicksEveryFrequencyAndAtBothEnds) {
    TrackbarModel m;
    m.setRangeMin(1);
    m.setRangeMax(40);
    m.setTicFreq(8);
    EXPECT_EQ(m.ticks(true), (std::vector<int>{1, 9, 17, 25, 33, 40}));
    EXPECT_EQ(m.ticks(false), (std::vector<int>{1, 40}));
    m.setRangeMin(0);
    m.setRangeMax(250);
    m.setTicFreq(50);
    EXPECT_EQ(m.ticks(true), (std::vector<int>{0, 50, 100, 150, 200, 250}));
}

TEST(TrackbarModel, PixelsAndPositionsMapBothWays) {
    TrackbarModel m;
    m.setRangeMin(0);
    m.setRangeMax(250);
    EXPECT_EQ(m.xOf(0, 8, 200), 8);
    EXPECT_EQ(m.xOf(250, 8, 200), 208);
    EXPECT_EQ(m.xOf(125, 8, 200), 108);
    for (int pos = 0; pos <= 250; pos += 25) {
        EXPECT_EQ(m.posAt(m.xOf(pos, 8, 200), 8, 200), pos);
    }
    EXPECT_EQ(m.posAt(-50, 8, 200), 0);
    EXPECT_EQ(m.posAt(500, 8, 200), 250);
}

TEST(EditText, TypingStopsAtTheLimitButSetTextDoesNot) {
    EditText t;
    t.setLimit(3);
    EXPECT_TRUE(t.insert(L'1'));
    EXPECT_TRUE(t.insert(L'2'));
    EXPECT_TRUE(t.insert(L'3'));
    EXPECT_FALSE(t.insert(L'4'));
    EXPECT_EQ(t.text(), L"123");
    t.setText(L"123456");
    EXPECT_EQ(t.text(), L"123456");
    EXPECT_EQ(t.caret(), 6u);
    t.setLimit(0);
    EXPECT_EQ(t.limit(), EditText::kMaximumLimit);
}

TEST(EditText, CaretKeysAndDeletion) {
    EditText t;
    t.setText(L"0123");
    EXPECT_TRUE(t.home());
    EXPECT_FALSE(t.left());
    EXPECT_FALSE(t.backspace());
    EXPECT_TRUE(t.deleteForward());
    EXPECT_EQ(t.text(), L"123");
    EXPECT_TRUE(t.right());
    EXPECT_TRUE(t.insert(L'+'));
    EXPECT_EQ(t.text(), L"1+23");
    EXPECT_TRUE(t.end());
    EXPECT_FALSE(t.right());
    EXPECT_FALSE(t.deleteForward());
    EXPECT_TRUE(t.backspace());
    EXPECT_EQ(t.text(), L"1+2");
    EXPECT_EQ(t.caret(), 3u);
}

} // namespace
} // namespace platform::controls
