// The framework's dialogs: data exchange both ways, the default OK and Cancel handling, the message map's
// window messages and notifications, command routing to the application object, and the drawing
// wrappers as a background painter uses them.
#include "platform/controls/ControlPaint.h"
#include "platform/gdi/Surface.h"
#include "tests/afx/AfxTestSupport.h"

namespace lullwatch::test {
namespace {

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestResources(); }
};

LRESULT Check(HWND dialog, int id) {
    return SendMessage(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0);
}

TEST_F(Dialogs, DataExchangeBindsControlsAndMovesCheckStatesBothWays) {
    CTestDialog dlg;
    ModalRun run(dlg);
    const HWND hwnd = run.hwnd();
    EXPECT_EQ(Check(hwnd, IDC_STEP_FIRST), BST_UNCHECKED);
    EXPECT_EQ(Check(hwnd, IDC_STEP_FIRST + 1), BST_CHECKED);
    EXPECT_EQ(CWnd::FromHandlePermanent(GetDlgItem(hwnd, IDC_METER)), &dlg.m_meter);
    EXPECT_EQ(CWnd::FromHandlePermanent(GetDlgItem(hwnd, IDC_STEP_FIRST + 2)), &dlg.m_steps[2]);
    EXPECT_EQ(CWnd::FromHandlePermanent(GetDlgItem(hwnd, IDC_LABEL)), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &dlg);

    Click(GetDlgItem(hwnd, IDC_STEP_FIRST + 2));
    ASSERT_TRUE(Eventually([&] { return Check(hwnd, IDC_STEP_FIRST + 2) == BST_CHECKED; }));
    Click(GetDlgItem(hwnd, IDOK));
    EXPECT_EQ(run.Outcome(), IDOK);
    EXPECT_EQ(dlg.m_checked, (std::array<int, 3>{0, 0, 1}));
    EXPECT_EQ(dlg.m_meter.m_hWnd.load(), nullptr);
    EXPECT_EQ(dlg.m_hWnd.load(), nullptr);
}

TEST_F(Dialogs, OkStaysOpenWhenTheExchangeFailsAndCancelEnds) {
    CTestDialog dlg;
    dlg.m_failSave = true;
    ModalRun run(dlg);
    Click(GetDlgItem(run.hwnd(), IDOK));
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(IsWindowVisible(run.hwnd()));
    Press(VK_ESCAPE);
    EXPECT_EQ(run.Outcome(), IDCANCEL);
}

TEST_F(Dialogs, WmCloseGetsTheDefaultProcessing) {
    CTestDialog dlg;
    ModalRun run(dlg);
    PostMessage(run.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(run.Outcome(), IDCANCEL);
    EXPECT_EQ(dlg.closes.load(), 1);
}

TEST_F(Dialogs, WindowMessagesReachTheMessageMap) {
    CTestDialog dlg;
    ModalRun run(dlg);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(dlg.creates.load(), 1);
    EXPECT_GE(dlg.paints.load(), 1);
    EXPECT_GE(dlg.erases.load(), 1);
    EXPECT_GE(dlg.ctlColors.load(), 1);
    Press(VK_RETURN); // the focus is on "Run", which Enter presses
    ASSERT_TRUE(Eventually([&] { return dlg.runClicks.load() == 1; }));
    Click(GetDlgItem(run.hwnd(), IDOK));
    EXPECT_EQ(run.Outcome(), IDOK);
    EXPECT_EQ(dlg.destroys.load(), 1);
}

TEST_F(Dialogs, CustomDrawReachesTheMapAndTheBarDrawsItself) {
    CTestDialog dlg;
    dlg.onInit = [](CTestDialog& d) {
        d.m_meter.SetRange(0, 5);
        d.m_meter.SetStep(1);
    };
    ModalRun run(dlg);
    ASSERT_TRUE(Idle());
    const int before = dlg.customDraws.load();
    EXPECT_GE(before, 1);
    EXPECT_EQ(SendMessage(dlg.m_meter.m_hWnd, PBM_SETPOS, 5, 0), 0);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(dlg.customDraws.load(), before + 1);
    EXPECT_EQ(dlg.m_meter.GetPos(), 5);
    Press(VK_ESCAPE);
    EXPECT_EQ(run.Outcome(), IDCANCEL);
}

TEST_F(Dialogs, UnhandledCommandsGoOnToTheApplicationObject) {
    theApp.about = 0;
    theApp.settings = 0;
    CTestDialog dlg;
    ModalRun run(dlg);
    PostMessage(run.hwnd(), WM_COMMAND, ID_ABOUT, 0);
    PostMessage(run.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
    PostMessage(run.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
    PostMessage(run.hwnd(), WM_COMMAND, 32790, 0); // nobody's
    Click(GetDlgItem(run.hwnd(), IDC_RUN));
    ASSERT_TRUE(Eventually([&] { return dlg.runClicks.load() == 1 && theApp.settings.load() == 2; }));
    EXPECT_EQ(theApp.about.load(), 1);
    Press(VK_ESCAPE);
    EXPECT_EQ(run.Outcome(), IDCANCEL);
}

TEST_F(Dialogs, ControlWrappersTalkToTheirControls) {
    CTestDialog dlg;
    ModalRun run(dlg);
    int previous = -1;
    UINT limit = 0;
    dlg.RunOnWindowThread([&] {
        dlg.m_slider.SetRangeMin(1);
        dlg.m_slider.SetRangeMax(40);
        dlg.m_slider.SetPos(0);
        dlg.m_slider.SetTicFreq(8);
        dlg.m_meter.SetRange(0, 5);
        dlg.m_meter.SetPos(4);
        previous = dlg.m_meter.SetPos(7);
        dlg.m_phone.SetLimitText(30);
        limit = dlg.m_phone.GetLimitText();
        dlg.m_phone.SetWindowText(L"0761 1234");
        dlg.m_run.SetWindowText(L"Stop - 28 sec");
        dlg.m_steps[0].SetCheck(BST_CHECKED);
    });
    EXPECT_EQ(dlg.m_slider.GetPos(), 1);
    EXPECT_EQ(dlg.m_slider.GetRangeMin(), 1);
    EXPECT_EQ(dlg.m_slider.GetRangeMax(), 40);
    EXPECT_EQ(previous, 4);
    EXPECT_EQ(dlg.m_meter.GetPos(), 5);
    EXPECT_EQ(limit, 30u);
    std::wstring phone;
    dlg.m_phone.GetWindowText(phone);
    EXPECT_EQ(phone, L"0761 1234");
    EXPECT_EQ(TextOf(dlg.m_run.m_hWnd), L"Stop - 28 sec");
    EXPECT_EQ(dlg.m_steps[0].GetCheck(), BST_CHECKED);
    EXPECT_EQ(dlg.GetDlgItem(IDC_PHONE), &dlg.m_phone);
    Press(VK_ESCAPE);
    EXPECT_EQ(run.Outcome(), IDCANCEL);
}

TEST_F(Dialogs, BackgroundPainterDrawsThePictureThroughTheWrappers) {
    CTestDialog dlg;
    ModalRun run(dlg);
    ASSERT_TRUE(Idle());
    platform::gdi::Image image;
    for (const auto& view : platform::desktop::VisibleTopLevels()) {
        if (view.hwnd == run.hwnd()) {
            image = view.surface->snapshot();
        }
    }
    ASSERT_GT(image.width, 10);
    const auto at = [&](int x, int y) { return image.pixels[static_cast<std::size_t>(y) * image.width + x]; };
    EXPECT_EQ(at(image.width - 3, image.height - 10), 0xC81414u); // the stretched picture
    EXPECT_EQ(at(image.width - 3, image.height - 1), 0xFFFFFFu);  // the white strip
    Press(VK_ESCAPE);
    EXPECT_EQ(run.Outcome(), IDCANCEL);
}

TEST_F(Dialogs, RuntimeClassNamesTheClassAndItsBase) {
    CTestDialog dlg;
    EXPECT_STREQ(dlg.GetRuntimeClass()->m_lpszClassName, "CTestDialog");
    EXPECT_EQ(dlg.GetRuntimeClass()->m_pBaseClass, RUNTIME_CLASS(CDialog));
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CObject)));
    CWnd plain;
    EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CDialog)));
}

TEST_F(Dialogs, MissingTemplateFailsDoModal) {
    CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
}

} // namespace
} // namespace lullwatch::test
