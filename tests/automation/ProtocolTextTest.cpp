// The protocol's text: replies as sent, quoted texts, numbers and the matching of control texts.
#include "platform/automation/Reply.h"
#include "platform/automation/TextFormat.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::automation;

TEST(ReplyTest, EndsWithOneStatusLine) {
    const std::pair<Reply, const char*> table[] = {
        {Reply::Ok(), "ok\n"},
        {Reply::Ok("3 windows"), "ok 3 windows\n"},
        {Reply::Error("no window \"X\""), "error no window \"X\"\n"},
        {Reply::Error(""), "error failed\n"},
        {Reply{{"window 0x1", "window 0x2"}, true, "2 windows"}, "window 0x1\nwindow 0x2\nok 2 windows\n"},
        {Reply{{"ok then", "error-free", "okay"}, true, ""}, " ok then\nerror-free\nokay\nok\n"},
        {Reply::Error("first\nsecond\n"), "error first; second\n"},
    };
    for (const auto& [reply, text] : table) {
        EXPECT_EQ(reply.Format(), text);
    }
}

TEST(TextFormatTest, QuotedTextsReadBackAsOneWord) {
    EXPECT_EQ(Quote(std::string_view("Stop - 5 sec")), "\"Stop - 5 sec\"");
    EXPECT_EQ(Quote(std::string_view("a \"b\" \\ c\nd")), "\"a \\\"b\\\" \\\\ c\\nd\"");
    EXPECT_EQ(Quote(std::wstring_view(L"caf\u00E9")), "\"caf\xC3\xA9\"");
}

TEST(TextFormatTest, NumbersAreWholeWords) {
    const std::pair<const char*, std::optional<long long>> table[] = {
        {"1000", 1000},
        {"-1", -1},
        {"0x10", 16},
        {"0X1f", 31},
        {"", {}},
        {"12a", {}},
        {"id=5", {}},
        {"0x", {}},
        {"- 1", {}},
        {"+1", {}},
        {"99999999999", 99999999999LL},
    };
    for (const auto& [text, value] : table) {
        EXPECT_EQ(ParseNumber(text), value) << text;
    }
}

TEST(TextFormatTest, TextsMatchWithOrWithoutMnemonics) {
    EXPECT_TRUE(SameText(L"&Run", "Run"));
    EXPECT_TRUE(SameText(L"&Run", "&Run"));
    EXPECT_TRUE(SameText(L"Fish && Chips", "Fish & Chips"));
    EXPECT_FALSE(SameText(L"Run", "run"));
    EXPECT_FALSE(SameText(L"Stop - 5 sec", "Stop"));
    EXPECT_EQ(WithoutMnemonics(L"a&b&&c&"), L"ab&c&");
}

} // namespace
