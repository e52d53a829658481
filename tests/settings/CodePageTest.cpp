// The ANSI code page conversions: every byte has a character and comes back; other characters become '?'.
#include "platform/fs/FileApi.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePageTest, EveryByteRoundTrips) {
    for (int value = 0; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        WCHAR wide = 0;
        ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1), 1);
        char back = 0;
        BOOL defaulted = TRUE;
        ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, &wide, 1, &back, 1, nullptr, &defaulted), 1);
        EXPECT_EQ(back, byte) << "byte " << value;
        EXPECT_FALSE(defaulted);
    }
}

struct CharCase {
    wchar_t wide;
    char byte;
    bool defaulted;
};

const CharCase kChars[] = {
    {L'A', 'A', false},         {L'\u20AC', '\x80', false}, {L'\u0081', '\x81', false},
    {L'\u0178', '\x9F', false}, {L'\u00E9', '\xE9', false}, {L'\u0100', '?', true},
    {L'\u4E2D', '?', true},     {L'\u0080', '?', true},     {static_cast<wchar_t>(0x1F600), '?', true},
};

TEST(CodePageTest, CharactersMapToTheirBytesOrTheDefault) {
    for (const auto& row : kChars) {
        char byte = 0;
        BOOL defaulted = FALSE;
        EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, &row.wide, 1, &byte, 1, nullptr, &defaulted), 1);
        EXPECT_EQ(byte, row.byte) << "U+" << std::hex << static_cast<unsigned>(row.wide);
        EXPECT_EQ(defaulted != FALSE, row.defaulted);
    }
    const WCHAR unmapped = L'\u0100';
    char byte = 0;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, &unmapped, 1, &byte, 1, "#", nullptr), 1);
    EXPECT_EQ(byte, '#');
}

TEST(CodePageTest, FollowsTheDeviceCallingConventions) {
    // -1: a NUL-terminated source, NUL counted.
    WCHAR wide[8] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 8), 4);
    EXPECT_EQ(std::wstring(wide), L"abc");
    char narrow[8] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"abc", -1, narrow, 8, nullptr, nullptr), 4);
    EXPECT_STREQ(narrow, "abc");

    // A destination length of 0 asks for the size and writes nothing.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"abc", -1, nullptr, 0, nullptr, nullptr), 4);

    // Failures give 0.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, wide, 2), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"abc", 3, narrow, 2, nullptr, nullptr), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 0, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, 3, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(65001, 0, "abc", 3, wide, 8), 0);
}

} // namespace
