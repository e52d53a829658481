// The application object: AfxWinMain runs InitInstance on the calling thread, and the main window's
// soft-key command bar, whose commands travel from the window to the application object's map.
#include "platform/shell/SoftKeys.h"
#include "platform/win/Resources.h"
#include "tests/afx/AfxTestSupport.h"

namespace lullwatch::test {
namespace {

class Application : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestResources();
        theApp.about = 0;
        theApp.settings = 0;
    }
    void TearDown() override {
        theApp.initInstance = nullptr;
        platform::shell::SetMenuBarCreationFails(false);
    }
};

TEST_F(Application, AfxWinMainRunsInitInstanceOnTheCallingThread) {
    const HINSTANCE instance = platform::resources::ProgramInstance();
    std::atomic<DWORD> initThread{0};
    std::atomic<INT_PTR> modalResult{0};
    theApp.initInstance = [&] {
        initThread = GetCurrentThreadId();
        theApp.SetRegistryKey(L"Lullwatch");
        CTestDialog dlg;
        theApp.m_pMainWnd = &dlg;
        modalResult = dlg.DoModal();
        theApp.m_pMainWnd = nullptr;
        return FALSE;
    };
    std::atomic<int> code{-1};
    std::atomic<DWORD> mainThread{0};
    UiThread ui([&] {
        mainThread = GetCurrentThreadId();
        code = AfxWinMain(instance);
    });
    const HWND main = WaitForTopLevel(L"Afx test");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(AfxGetApp(), &theApp);
    EXPECT_EQ(AfxGetInstanceHandle(), instance);
    EXPECT_EQ(AfxGetResourceHandle(), instance);
    Press(VK_ESCAPE);
    ui.join();
    EXPECT_EQ(code.load(), 0);
    EXPECT_EQ(modalResult.load(), IDCANCEL);
    EXPECT_EQ(initThread.load(), mainThread.load());
    EXPECT_STREQ(theApp.m_pszRegistryKey, L"Lullwatch");
}

TEST_F(Application, CommandBarCommandsReachTheWindowAndTheApplication) {
    CCommandBar bar;
    CCommandBar missing;
    std::atomic<int> created{-1};
    std::atomic<int> missingCreated{-1};
    CTestDialog dlg;
    dlg.onInit = [&](CTestDialog& d) {
        created =
            bar.Create(&d, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) && bar.InsertMenuBar(IDR_MENU);
        missingCreated = missing.Create(&d) && missing.InsertMenuBar(129);
    };
    ModalRun run(dlg);
    EXPECT_EQ(created.load(), TRUE);
    EXPECT_EQ(missingCreated.load(), FALSE);
    const auto keys = platform::desktop::SoftKeysOf(run.hwnd());
    EXPECT_EQ(keys.left, L"OK");
    EXPECT_EQ(keys.right, L"Menu");
    EXPECT_EQ(keys.menuBar, bar.m_hWnd.load());

    ASSERT_TRUE(platform::shell::ChooseMenuItem(run.hwnd(), L"Settings"));
    ASSERT_TRUE(Eventually([] { return theApp.settings.load() == 1; }));
    ASSERT_TRUE(platform::shell::ChooseMenuItem(run.hwnd(), L"About"));
    ASSERT_TRUE(Eventually([] { return theApp.about.load() == 1; }));
    EXPECT_EQ(platform::shell::OpenMenuPopupOf(run.hwnd()), nullptr);

    ASSERT_TRUE(platform::shell::PressSoftKey(run.hwnd(), platform::shell::kLeftSoftKey));
    EXPECT_EQ(run.Outcome(), IDOK);
    EXPECT_EQ(bar.m_hWnd.load(), nullptr);
}

TEST_F(Application, MenuBarCreationCanBeMadeToFail) {
    platform::shell::SetMenuBarCreationFails(true);
    CCommandBar bar;
    std::atomic<int> created{-1};
    CTestDialog dlg;
    dlg.onInit = [&](CTestDialog& d) { created = bar.Create(&d) && bar.InsertMenuBar(IDR_MENU); };
    ModalRun run(dlg);
    EXPECT_EQ(created.load(), FALSE);
    EXPECT_EQ(platform::desktop::SoftKeysOf(run.hwnd()).menuBar, nullptr);
    Press(VK_ESCAPE);
    EXPECT_EQ(run.Outcome(), IDCANCEL);
}

} // namespace
} // namespace lullwatch::test
