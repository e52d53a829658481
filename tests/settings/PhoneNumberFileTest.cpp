// "phonenumber.txt": ANSI bytes, a NUL only behind short numbers, and what a hand-edited file gives.
#include "DataRootTest.h"

#include "settings/SettingsStore.h"

#include <string_view>

namespace {

using namespace std::string_literals;

class PhoneNumberFileTest : public DataRootTest {};

std::wstring Digits(std::size_t count) {
    std::wstring digits;
    for (std::size_t i = 0; i < count; ++i) {
        digits.push_back(static_cast<wchar_t>(L'0' + i % 10));
    }
    return digits;
}

std::string Bytes(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

struct SaveCase {
    std::wstring number;
    std::string bytes;   // the file afterwards
    std::wstring loaded; // what loading it gives
};

TEST_F(PhoneNumberFileTest, SaveWritesTheBytesThatLoadBack) {
    const SaveCase cases[] = {
        {L"0123456789", "0123456789\0"s, L"0123456789"},
        {L"+44 20 7946 0958", "+44 20 7946 0958\0"s, L"+44 20 7946 0958"},
        {L"1", "1\0"s, L"1"},
        {Digits(28), Bytes(Digits(28)) + '\0', Digits(28)},
        {Digits(29), Bytes(Digits(29)), Digits(29)},
        {Digits(30), Bytes(Digits(30)), Digits(30)},
        {Digits(31), Bytes(Digits(30)), Digits(30)}, // only 30 characters fit
        {L"\u20AC12\u0081",
         "\x80"
         "12\x81\0"s,
         L"\u20AC12\u0081"},
        {L"12\u0100", "12?\0"s, L"12?"}, // no byte for this character
    };
    std::filesystem::create_directories(Folder());
    for (const auto& row : cases) {
        SavePhoneNumber(row.number);
        EXPECT_EQ(ReadFile("phonenumber.txt"), row.bytes) << row.number.size() << " characters";
        std::wstring loaded = L"previous";
        LoadPhoneNumber(loaded);
        EXPECT_EQ(loaded, row.loaded);
    }
}

struct LoadCase {
    std::string bytes;
    std::wstring expected;
};

TEST_F(PhoneNumberFileTest, LoadStopsAtTheFirstNulWithinThirtyBytes) {
    const LoadCase cases[] = {
        {Bytes(Digits(40)), Digits(30)},
        {"123\0"
         "456"s,
         L"123"},
        {"\0"
         "999"s,
         L""},
        {"", L""},
        {"\x80\x81\xFF", L"\u20AC\u0081\u00FF"},
        {Bytes(Digits(30)) + "\0"s, Digits(30)},
    };
    for (const auto& row : cases) {
        WriteFile("phonenumber.txt", row.bytes);
        std::wstring number = L"previous";
        LoadPhoneNumber(number);
        EXPECT_EQ(number, row.expected) << row.bytes.size() << " bytes";
    }
}

TEST_F(PhoneNumberFileTest, NoFileLeavesTheNumberUnchanged) {
    std::wstring number = L"5551234";
    LoadPhoneNumber(number);
    EXPECT_EQ(number, L"5551234");

    SharedText shared;
    LoadPhoneNumber(shared);
    EXPECT_EQ(shared.Get(), L"");
    WriteFile("phonenumber.txt", "0700\0"s);
    LoadPhoneNumber(shared);
    EXPECT_EQ(shared.Get(), L"0700");
}

} // namespace
