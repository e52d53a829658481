// The list of changed rectangles: what survives a sequence of additions.
#include "platform/screen/DirtyRegion.h"

#include <gtest/gtest.h>

namespace {

using platform::screen::DirtyRegion;

struct Case {
    const char* name;
    std::vector<RECT> added;
    std::vector<RECT> expected;
};

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

const Case kCases[] = {
    {"separate rectangles stay separate",
     {{0, 0, 10, 10}, {20, 20, 30, 30}},
     {{0, 0, 10, 10}, {20, 20, 30, 30}}},
    {"a rectangle inside another is dropped", {{0, 0, 100, 100}, {10, 10, 20, 20}}, {{0, 0, 100, 100}}},
    {"a larger rectangle swallows smaller ones",
     {{10, 10, 20, 20}, {30, 30, 40, 40}, {0, 0, 50, 50}},
     {{0, 0, 50, 50}}},
    {"empty rectangles are ignored", {{5, 5, 5, 9}, {0, 0, 0, 0}, {1, 1, 2, 2}}, {{1, 1, 2, 2}}},
    {"a long list collapses into its bounds",
     {{0, 0, 1, 1},
      {2, 0, 3, 1},
      {4, 0, 5, 1},
      {6, 0, 7, 1},
      {8, 0, 9, 1},
      {10, 0, 11, 1},
      {12, 0, 13, 1},
      {14, 0, 15, 1},
      {16, 0, 17, 5}},
     {{0, 0, 17, 5}}},
};

TEST(DirtyRegionTest, KeepsWhatMustBeRecomposed) {
    for (const auto& c : kCases) {
        DirtyRegion region;
        for (const RECT& r : c.added) {
            region.Add(r);
        }
        const auto taken = region.Take();
        ASSERT_EQ(taken.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < taken.size(); ++i) {
            EXPECT_TRUE(Same(taken[i], c.expected[i])) << c.name << " #" << i;
        }
        EXPECT_TRUE(region.Empty()) << c.name;
    }
}

} // namespace
