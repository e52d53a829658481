// The controls in a dialog, driven through the desktop's input path and through their messages: buttons
// and radio groups, the edit field, the progress bar's repainting, and the trackbar.
#include "platform/controls/ControlConstants.h"
#include "platform/controls/ControlPaint.h"
#include "platform/gdi/Surface.h"
#include "tests/controls/DialogHarness.h"

namespace lullwatch::test {
namespace {

constexpr int kPush = 100;
constexpr int kRadio1 = 101;
constexpr int kRadio2 = 102;
constexpr int kRadio3 = 103;
constexpr int kOtherGroup = 104;
constexpr int kEdit = 105;
constexpr int kMeter = 106;
constexpr int kSlider = 107;
constexpr int kLabel = 108;

const DLGITEMTEMPLATE kItems[] = {
    {WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 60, 0, 50, 14, kPush, L"BUTTON", L"Push"},
    {WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 0, 0, 40, 10, kRadio1, L"BUTTON", L"One"},
    {WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 0, 12, 40, 10, kRadio2, L"BUTTON", L"Two"},
    {WS_VISIBLE | BS_AUTORADIOBUTTON | BS_LEFTTEXT, 0, 0, 24, 40, 10, kRadio3, L"BUTTON", L"Three"},
    {WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 0, 0, 36, 40, 10, kOtherGroup, L"BUTTON", L"Other"},
    {WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 50, 20, 63, 12, kEdit, L"EDIT", L""},
    {WS_VISIBLE | WS_BORDER | PBS_VERTICAL, 0, 24, 50, 11, 60, kMeter, L"msctls_progress32", L""},
    {WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS | TBS_BOTH, 0, 40, 50, 70, 22, kSlider, L"msctls_trackbar32",
     L""},
    {WS_VISIBLE | SS_CENTER, 0, 40, 76, 70, 20, kLabel, L"STATIC", L"A label that wraps over two lines"},
    {WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 7, 115, 50, 14, IDOK, L"BUTTON", L"OK"},
    {WS_VISIBLE | WS_TABSTOP, 0, 60, 115, 50, 14, IDCANCEL, L"BUTTON", L"Cancel"},
};

const DLGTEMPLATE kTemplate = {
    WS_POPUP | WS_CAPTION | DS_SETFONT,  0, 0, 0, 113, 132, L"Controls", 8, L"Tahoma", kItems,
    static_cast<WORD>(std::size(kItems))};

LRESULT Check(HWND button) {
    return SendMessage(button, BM_GETCHECK, 0, 0);
}

platform::gdi::Image Snapshot(HWND topLevel) {
    for (const auto& view : platform::desktop::VisibleTopLevels()) {
        if (view.hwnd == topLevel) {
            return view.surface->snapshot();
        }
    }
    return {};
}

// `screen` moved into the coordinates of `topLevel`'s surface.
RECT InSurface(HWND topLevel, RECT screen) {
    const RECT top = ScreenRect(topLevel);
    OffsetRect(&screen, -top.left, -top.top);
    return screen;
}

std::uint32_t Pixel(COLORREF c) {
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

TEST(Buttons, AnAutoRadioButtonUnchecksOnlyTheOthersOfItsGroup) {
    DialogHarness d(&kTemplate);
    SendMessage(d.Item(kOtherGroup), BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(d.Item(kRadio1), BM_SETCHECK, BST_CHECKED, 0);

    SendMessage(d.Item(kRadio3), BM_CLICK, 0, 0);
    EXPECT_EQ(Check(d.Item(kRadio1)), BST_UNCHECKED);
    EXPECT_EQ(Check(d.Item(kRadio2)), BST_UNCHECKED);
    EXPECT_EQ(Check(d.Item(kRadio3)), BST_CHECKED);
    EXPECT_EQ(Check(d.Item(kOtherGroup)), BST_CHECKED);

    Click(d.Item(kRadio2));
    ASSERT_TRUE(Eventually([&] { return Check(d.Item(kRadio2)) == BST_CHECKED; }));
    EXPECT_EQ(Check(d.Item(kRadio3)), BST_UNCHECKED);
    EXPECT_EQ(d.log.commands(kRadio2), 1u);
    EXPECT_EQ(d.log.commands(kRadio3), 1u);
}

TEST(Buttons, ArrowKeysMoveAndCheckWithinTheGroup) {
    DialogHarness d(&kTemplate);
    Click(d.Item(kRadio1));
    ASSERT_TRUE(Eventually([&] { return HasFocus(d.Item(kRadio1)); }));
    Press(VK_DOWN);
    ASSERT_TRUE(
        Eventually([&] { return Check(d.Item(kRadio2)) == BST_CHECKED && HasFocus(d.Item(kRadio2)); }));
    EXPECT_EQ(Check(d.Item(kRadio1)), BST_UNCHECKED);
    Press(VK_UP);
    ASSERT_TRUE(
        Eventually([&] { return Check(d.Item(kRadio1)) == BST_CHECKED && HasFocus(d.Item(kRadio1)); }));
    Press(VK_UP); // round to the group's last button
    ASSERT_TRUE(Eventually([&] { return Check(d.Item(kRadio3)) == BST_CHECKED; }));
    EXPECT_EQ(Check(d.Item(kRadio2)), BST_UNCHECKED);
    EXPECT_EQ(Check(d.Item(kOtherGroup)), BST_UNCHECKED);
}

TEST(Buttons, PushButtonClicksByMouseAndSpaceButNotWhenDisabled) {
    DialogHarness d(&kTemplate);
    Click(d.Item(kPush));
    ASSERT_TRUE(Eventually([&] { return d.log.commands(kPush) == 1; }));
    ASSERT_TRUE(Eventually([&] { return HasFocus(d.Item(kPush)); }));
    Press(VK_SPACE);
    ASSERT_TRUE(Eventually([&] { return d.log.commands(kPush) == 2; }));
    SendMessage(d.Item(kPush), BM_CLICK, 0, 0);
    EXPECT_EQ(d.log.commands(kPush), 3u);

    EnableWindow(d.Item(kPush), FALSE);
    Click(d.Item(kPush));
    SendMessage(d.Item(kPush), BM_CLICK, 0, 0);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.log.commands(kPush), 3u);
}

TEST(Buttons, EnterPressesTheDefaultButtonAndEscapeCancels) {
    {
        DialogHarness d(&kTemplate);
        Click(d.Item(kEdit));
        ASSERT_TRUE(Eventually([&] { return HasFocus(d.Item(kEdit)); }));
        Press(VK_RETURN);
        EXPECT_EQ(d.Outcome(), IDOK);
    }
    {
        DialogHarness d(&kTemplate);
        Press(VK_ESCAPE);
        EXPECT_EQ(d.Outcome(), IDCANCEL);
    }
}

TEST(Edit, TypingGoesThroughTheInputPathUpToTheLimit) {
    DialogHarness d(&kTemplate);
    const HWND edit = d.Item(kEdit);
    Click(edit);
    ASSERT_TRUE(Eventually([&] { return HasFocus(edit); }));
    Type(L"0761");
    ASSERT_TRUE(Eventually([&] { return TextOf(edit) == L"0761"; }));
    EXPECT_TRUE(Eventually([&] { return d.log.commands(kEdit, EN_CHANGE) == 4; }));

    Press(VK_BACK);
    Press(VK_HOME);
    Press(VK_DELETE);
    Type(L"+4");
    ASSERT_TRUE(Eventually([&] { return TextOf(edit) == L"+476"; }));

    SendMessage(edit, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 5);
    Press(VK_END);
    Type(L"123");
    ASSERT_TRUE(Idle());
    EXPECT_EQ(TextOf(edit), L"+4761");

    SetWindowText(edit, L"0123456789");
    wchar_t buffer[32] = {};
    GetWindowText(edit, buffer, 32);
    EXPECT_STREQ(buffer, L"0123456789");
}

TEST(Edit, TypesOnlyCharactersOfTheAnsiCodePage) {
    DialogHarness d(&kTemplate);
    const HWND edit = d.Item(kEdit);
    Click(edit);
    ASSERT_TRUE(Eventually([&] { return HasFocus(edit); }));
    // é (0xE9) and € (0x80) are Windows-1252; ł, Ω and an emoji are not and change nothing.
    Type(L"12\u00e9\u20ac\u0142\u03a9\U0001F600 34");
    ASSERT_TRUE(Eventually([&] { return TextOf(edit) == L"12\u00e9\u20ac 34"; }));
    EXPECT_TRUE(
        Eventually([&] { return d.log.commands(kEdit, EN_CHANGE) == 7u; })); // one per character taken
}

TEST(Edit, ADisabledFieldTakesNoInput) {
    DialogHarness d(&kTemplate);
    const HWND edit = d.Item(kEdit);
    Click(edit);
    ASSERT_TRUE(Eventually([&] { return HasFocus(edit); }));
    EnableWindow(edit, FALSE);
    SendMessage(edit, WM_CHAR, L'7', 0);
    SendMessage(edit, WM_KEYDOWN, VK_BACK, 0);
    EXPECT_EQ(TextOf(edit), L"");
    EXPECT_EQ(d.log.commands(kEdit, EN_CHANGE), 0u);
}

TEST(Progress, SetPosClampsAndReturnsThePreviousPosition) {
    DialogHarness d(&kTemplate);
    const HWND meter = d.Item(kMeter);
    EXPECT_EQ(SendMessage(meter, PBM_SETRANGE, 0, MAKELPARAM(0, 5)), MAKELONG(0, 100));
    EXPECT_EQ(SendMessage(meter, PBM_SETSTEP, 1, 0), 10);
    EXPECT_EQ(SendMessage(meter, PBM_SETPOS, 3, 0), 0);
    EXPECT_EQ(SendMessage(meter, PBM_SETPOS, 9, 0), 3);
    EXPECT_EQ(SendMessage(meter, PBM_GETPOS, 0, 0), 5);
    EXPECT_EQ(SendMessage(meter, PBM_DELTAPOS, static_cast<WPARAM>(-7), 0), 5);
    EXPECT_EQ(SendMessage(meter, PBM_GETPOS, 0, 0), 0);
}

TEST(Progress, APositionChangeRepaintsOnlyTheBarAndFillsFromTheBottom) {
    DialogHarness d(&kTemplate);
    const HWND meter = d.Item(kMeter);
    SendMessage(meter, PBM_SETRANGE, 0, MAKELPARAM(0, 5));
    ASSERT_TRUE(Idle());
    const std::size_t barPaints = d.Notifications(kMeter, NM_CUSTOMDRAW);
    const std::size_t dialogPaints = d.Paints();
    const auto before = Snapshot(d.dialog);

    EXPECT_EQ(SendMessage(meter, PBM_SETPOS, 3, 0), 0);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.Notifications(kMeter, NM_CUSTOMDRAW), barPaints + 1);
    EXPECT_EQ(d.Paints(), dialogPaints);

    const auto after = Snapshot(d.dialog);
    const RECT bar = InSurface(d.dialog, ScreenRect(meter));
    ASSERT_EQ(before.pixels.size(), after.pixels.size());
    std::size_t changedOutside = 0;
    for (int y = 0; y < after.height; ++y) {
        for (int x = 0; x < after.width; ++x) {
            const auto i = static_cast<std::size_t>(y) * after.width + x;
            const bool inside = x >= bar.left && x < bar.right && y >= bar.top && y < bar.bottom;
            changedOutside += !inside && before.pixels[i] != after.pixels[i] ? 1 : 0;
        }
    }
    EXPECT_EQ(changedOutside, 0u);
    const int midX = (bar.left + bar.right) / 2;
    const std::uint32_t fill = Pixel(platform::controls::palette::kFill);
    EXPECT_EQ(after.pixels[static_cast<std::size_t>(bar.bottom - 3) * after.width + midX], fill);
    EXPECT_NE(after.pixels[static_cast<std::size_t>(bar.top + 3) * after.width + midX], fill);

    SendMessage(meter, PBM_SETPOS, 3, 0); // no change, no paint
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.Notifications(kMeter, NM_CUSTOMDRAW), barPaints + 1);
}

TEST(Trackbar, KeepsThePositionInsideTheRange) {
    DialogHarness d(&kTemplate);
    const HWND slider = d.Item(kSlider);
    SendMessage(slider, TBM_SETRANGEMIN, FALSE, 1);
    SendMessage(slider, TBM_SETRANGEMAX, FALSE, 40);
    EXPECT_EQ(SendMessage(slider, TBM_GETPOS, 0, 0), 1);
    SendMessage(slider, TBM_SETPOS, TRUE, 0);
    EXPECT_EQ(SendMessage(slider, TBM_GETPOS, 0, 0), 1);
    SendMessage(slider, TBM_SETPOS, TRUE, 99);
    EXPECT_EQ(SendMessage(slider, TBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(SendMessage(slider, TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessage(slider, TBM_GETRANGEMAX, 0, 0), 40);
    EXPECT_EQ(SendMessage(slider, TBM_GETLINESIZE, 0, 0), 1);
    EXPECT_EQ(SendMessage(slider, TBM_GETPAGESIZE, 0, 0), 7);
}

TEST(Trackbar, KeysAndClicksMoveTheThumbAndTellTheParent) {
    DialogHarness d(&kTemplate);
    const HWND slider = d.Item(kSlider);
    SendMessage(slider, TBM_SETRANGEMIN, FALSE, 1);
    SendMessage(slider, TBM_SETRANGEMAX, FALSE, 40);
    SendMessage(slider, TBM_SETPOS, TRUE, 8);
    SendMessage(slider, TBM_SETTICFREQ, 8, 0);
    ASSERT_TRUE(Idle());
    EXPECT_GE(d.Notifications(kSlider, NM_CUSTOMDRAW), 1u);

    const RECT r = ScreenRect(slider);
    platform::desktop::InjectClick(POINT{r.right - 2, (r.top + r.bottom) / 2});
    ASSERT_TRUE(Eventually([&] { return SendMessage(slider, TBM_GETPOS, 0, 0) == 40; }));
    ASSERT_TRUE(Eventually([&] { return HasFocus(slider); }));
    Press(VK_HOME);
    ASSERT_TRUE(Eventually([&] { return SendMessage(slider, TBM_GETPOS, 0, 0) == 1; }));
    Press(VK_NEXT);
    ASSERT_TRUE(Eventually([&] { return SendMessage(slider, TBM_GETPOS, 0, 0) == 8; }));
    Press(VK_RIGHT);
    ASSERT_TRUE(Eventually([&] { return SendMessage(slider, TBM_GETPOS, 0, 0) == 9; }));
    Press(VK_LEFT);
    Press(VK_LEFT);
    ASSERT_TRUE(Eventually([&] { return SendMessage(slider, TBM_GETPOS, 0, 0) == 7; }));

    const auto scrolls = [&](WORD code) {
        return d.log.count([&](const MessageLog::Entry& e) {
            return e.message == WM_HSCROLL && LOWORD(e.wParam) == code &&
                   e.lParam == reinterpret_cast<LPARAM>(slider);
        });
    };
    EXPECT_EQ(scrolls(TB_TOP), 1u);
    EXPECT_EQ(scrolls(TB_PAGEDOWN), 1u);
    EXPECT_EQ(scrolls(TB_LINEDOWN), 1u);
    EXPECT_EQ(scrolls(TB_LINEUP), 2u);
    EXPECT_EQ(scrolls(TB_THUMBPOSITION), 1u);
}

TEST(Static, KeepsItsTextAsTheWindowText) {
    DialogHarness d(&kTemplate);
    EXPECT_EQ(TextOf(d.Item(kLabel)), L"A label that wraps over two lines");
    SetWindowText(d.Item(kLabel), L"Changed");
    EXPECT_EQ(TextOf(d.Item(kLabel)), L"Changed");
    EXPECT_EQ(SendMessage(d.Item(kLabel), WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_STATIC));
}

} // namespace
} // namespace lullwatch::test
