// SHInitDialog: the full-screen flags make a dialog fill the work area and follow it when the screen
// turns; the other flags change nothing.
#include "tests/shell/ShellTestSupport.h"

namespace lullwatch::test {
namespace {

struct Case {
    DWORD flags;
    bool fullScreen;
};

std::atomic<DWORD> g_flags{0};

INT_PTR ShellDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SHINITDLGINFO info{SHIDIM_FLAGS, hwnd, g_flags.load()};
        SHInitDialog(&info);
        return FALSE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hwnd, 1);
        return TRUE;
    }
    return FALSE;
}

// A centred 60 x 40 unit dialog (120 x 80 pixels), as the call window's template would be without help.
const DLGITEMTEMPLATE kItems[] = {
    {WS_VISIBLE | WS_TABSTOP, 0, 5, 20, 50, 14, IDCANCEL, L"BUTTON", L"Hang Up"}};
const DLGTEMPLATE kTemplate = {
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 60, 40, L"Lullwatch", 0, nullptr, kItems, 1};

bool RectIs(HWND hwnd, const RECT& expected) {
    const RECT r = ScreenRect(hwnd);
    return EqualRect(&r, &expected) != FALSE;
}

TEST(SHInitDialog, FullScreenFlagsFillTheWorkArea) {
    const Case cases[] = {
        {SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN, true},
        {SHIDIF_SIZEDLG, true},
        {SHIDIF_FULLSCREENNOMENUBAR, true},
        {SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN, false},
    };
    SHInitExtraControls();
    for (const Case& c : cases) {
        g_flags = c.flags;
        UiThread ui([] { DialogBoxIndirectParam(nullptr, &kTemplate, nullptr, ShellDialogProc, 0); });
        const HWND hwnd = WaitForTopLevel(L"Lullwatch");
        ASSERT_NE(hwnd, nullptr);
        const RECT work = platform::desktop::Layout().workArea;
        if (c.fullScreen) {
            EXPECT_TRUE(Eventually([&] { return RectIs(hwnd, work); })) << c.flags;
        } else {
            ASSERT_TRUE(Idle());
            const RECT r = ScreenRect(hwnd);
            EXPECT_EQ(r.right - r.left, 120) << c.flags;
        }
        Press(VK_ESCAPE);
    }
}

TEST(SHInitDialog, TheDialogFollowsTheWorkAreaWhenTheScreenTurns) {
    SHInitExtraControls();
    g_flags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
    UiThread ui([] { DialogBoxIndirectParam(nullptr, &kTemplate, nullptr, ShellDialogProc, 0); });
    const HWND hwnd = WaitForTopLevel(L"Lullwatch");
    ASSERT_NE(hwnd, nullptr);
    platform::desktop::SetScreenSize(320, 240);
    const RECT landscape = platform::desktop::Layout().workArea;
    EXPECT_EQ(landscape.right, 320);
    EXPECT_TRUE(Eventually([&] { return RectIs(hwnd, landscape); }));
    platform::desktop::SetScreenSize(240, 320);
    const RECT portrait = platform::desktop::Layout().workArea;
    EXPECT_TRUE(Eventually([&] { return RectIs(hwnd, portrait); }));
    Press(VK_ESCAPE);
}

TEST(SHInitDialog, RefusesWhatIsNotAWindow) {
    SHINITDLGINFO info{SHIDIM_FLAGS, nullptr, SHIDIF_SIZEDLGFULLSCREEN};
    EXPECT_FALSE(SHInitDialog(&info));
    EXPECT_FALSE(SHInitDialog(nullptr));
    EXPECT_TRUE(SHInitExtraControls());
}

} // namespace
} // namespace lullwatch::test
