// The keys and text of the input helpers: the characters keys make, the automation names of keys, and
// the UTF-8 text that front-ends and the channel carry.
#include "platform/screen/KeyInput.h"
#include "platform/win/Utf8.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::screen;
using platform::FromUtf8;
using platform::ToUtf8;

TEST(KeyInputTest, KeysMakeTheCharactersTranslateMessageWould) {
    const std::pair<UINT, wchar_t> table[] = {{VK_BACK, L'\b'},  {VK_TAB, L'\t'},  {VK_RETURN, L'\r'},
                                              {VK_ESCAPE, 0x1B}, {VK_SPACE, L' '}, {VK_DELETE, 0},
                                              {VK_LEFT, 0},      {VK_F1, 0},       {VK_HOME, 0}};
    for (const auto& [vk, ch] : table) {
        EXPECT_EQ(CharOfKey(vk), ch) << "vk " << vk;
    }
}

TEST(KeyInputTest, NamesAnswerTheirKeysInAnyCase) {
    const std::pair<const char*, UINT> table[] = {{"enter", VK_RETURN},    {"Escape", VK_ESCAPE},
                                                  {"SOFTLEFT", VK_TSOFT1}, {"f2", VK_TSOFT2},
                                                  {"backspace", VK_BACK},  {"end", VK_END}};
    for (const auto& [name, vk] : table) {
        ASSERT_TRUE(KeyByName(name).has_value()) << name;
        EXPECT_EQ(*KeyByName(name), vk) << name;
    }
    EXPECT_FALSE(KeyByName("return").has_value());
    EXPECT_FALSE(KeyByName("").has_value());
}

TEST(Utf8Test, ConvertsBothWays) {
    const std::pair<const char*, std::wstring> table[] = {{"Run", L"Run"},
                                                          {"caf\xC3\xA9", L"caf\u00E9"},
                                                          {"\xE2\x82\xAC 5", L"\u20AC 5"},
                                                          {"\xF0\x9F\x94\x94", L"\U0001F514"}};
    for (const auto& [utf8, wide] : table) {
        EXPECT_EQ(FromUtf8(utf8), wide) << utf8;
        EXPECT_EQ(ToUtf8(wide), utf8) << utf8;
    }
}

TEST(Utf8Test, BrokenInputBecomesReplacementCharacters) {
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              L"a\uFFFDb");
    EXPECT_EQ(FromUtf8("\xC3"), L"\uFFFD");     // cut short
    EXPECT_EQ(FromUtf8("\xC0\xAF"), L"\uFFFD"); // overlong
    EXPECT_EQ(ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

} // namespace
