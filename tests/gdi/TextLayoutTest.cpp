// Line layout of DrawText strings, with made-up advances so that every width is easy to follow:
// letters 10 pixels, space 5, '.' 3.
#include "platform/gdi/TextLayout.h"

#include <gtest/gtest.h>

namespace {

using platform::gdi::LayoutRules;
using platform::gdi::LayoutText;
using platform::gdi::StripPrefixes;

int Advance(wchar_t ch) {
    return ch == L' ' ? 5 : ch == L'.' ? 3 : 10;
}

struct LayoutCase {
    const char* name;
    const wchar_t* text;
    LayoutRules rules;
    std::vector<std::wstring> lines;
};

const LayoutCase kCases[] = {
    {"empty", L"", {}, {L""}},
    {"newline breaks", L"ab\ncd", {}, {L"ab", L"cd"}},
    {"carriage return dropped", L"ab\r\ncd", {}, {L"ab", L"cd"}},
    {"empty paragraph kept", L"ab\n\ncd", {}, {L"ab", L"", L"cd"}},
    {"single line joins", L"ab\r\ncd", {.singleLine = true}, {L"abcd"}},
    {"no wrap without word break", L"ab cd ef", {.width = 25}, {L"ab cd ef"}},
    {"wrap every word", L"ab cd ef", {.width = 25, .wordBreak = true}, {L"ab", L"cd", L"ef"}},
    {"wrap fits exactly", L"ab cd ef", {.width = 45, .wordBreak = true}, {L"ab cd", L"ef"}},
    {"long word not broken", L"abcdef gh", {.width = 30, .wordBreak = true}, {L"abcdef", L"gh"}},
    {"leading spaces kept", L"  ab cd", {.width = 100, .wordBreak = true}, {L"  ab cd"}},
    {"spaces at a break dropped", L"ab    cd", {.width = 25, .wordBreak = true}, {L"ab", L"cd"}},
    {"trailing spaces dropped", L"ab   ", {.width = 100, .wordBreak = true}, {L"ab"}},
    {"wrap per paragraph", L"ab cd\nef", {.width = 25, .wordBreak = true}, {L"ab", L"cd", L"ef"}},
    {"wrap ignored on a single line",
     L"ab cd",
     {.width = 25, .singleLine = true, .wordBreak = true},
     {L"ab cd"}},
    {"ellipsis cuts", L"abcdef", {.width = 40, .endEllipsis = true}, {L"abc..."}},
    {"ellipsis when it fits exactly", L"abcd", {.width = 40, .endEllipsis = true}, {L"abcd"}},
    {"ellipsis alone when nothing fits", L"abc", {.width = 5, .endEllipsis = true}, {L"..."}},
    {"ellipsis on a wrapped long word",
     L"abcdef gh",
     {.width = 30, .wordBreak = true, .endEllipsis = true},
     {L"ab...", L"gh"}},
};

TEST(TextLayout, LinesFollowBreaksWrappingAndEllipsis) {
    for (const auto& c : kCases) {
        const auto lines = LayoutText(c.text, c.rules, Advance);
        std::vector<std::wstring> texts;
        for (const auto& line : lines) {
            texts.push_back(line.text);
            int width = 0;
            for (const wchar_t ch : line.text) {
                width += Advance(ch);
            }
            EXPECT_EQ(line.width, width) << c.name;
        }
        EXPECT_EQ(texts, c.lines) << c.name;
    }
}

TEST(TextLayout, PrefixesAreRemoved) {
    EXPECT_EQ(StripPrefixes(L"&Run"), L"Run");
    EXPECT_EQ(StripPrefixes(L"Salt && pepper"), L"Salt & pepper");
    EXPECT_EQ(StripPrefixes(L"x&"), L"x");
    EXPECT_EQ(StripPrefixes(L"&&&a"), L"&a");
}

} // namespace
