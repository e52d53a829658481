// What the framework tests share: the test application object (with its own message map), the test
// resources (dialog template 300, menu 128, bitmap 133) and a dialog class that binds every kind of
// control and counts what its message map receives.
#pragma once

#include "platform/afx/Afx.h"
#include "tests/controls/UiTestSupport.h"

#include <array>
#include <functional>

namespace lullwatch::test {

constexpr UINT IDD_TEST = 300;
constexpr UINT IDR_MENU = 128;
constexpr UINT IDB_BACKGROUND = 133;
constexpr int IDC_RUN = 1000;
constexpr int IDC_METER = 1002;
constexpr int IDC_PHONE = 1003;
constexpr int IDC_STEP_FIRST = 1004; // three radio buttons, 1004..1006
constexpr int IDC_SLIDER = 1010;
constexpr int IDC_LABEL = 1011;
constexpr UINT ID_ABOUT = 32775;
constexpr UINT ID_SETTINGS = 32779;
constexpr UINT ID_DISPLAY_OFF = 32780;
constexpr UINT ID_RUN_TASK = 2000; // runs CTestDialog::task on the window thread

void RegisterTestResources();

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp(L"Afx tests") {}
    BOOL InitInstance() override { return initInstance ? initInstance() : FALSE; }

    std::function<BOOL()> initInstance;
    std::atomic<int> about{0};
    std::atomic<int> settings{0};

protected:
    afx_msg void OnAbout() { ++about; }
    afx_msg void OnSettings() { ++settings; }
    DECLARE_MESSAGE_MAP()
};

class CTestDialog : public CDialog {
    DECLARE_DYNAMIC(CTestDialog)

public:
    CTestDialog() : CDialog(IDD_TEST) {}

    // Runs `fn` on the dialog's thread, synchronously, from any thread.
    void RunOnWindowThread(std::function<void()> fn) {
        task = std::move(fn);
        ::SendMessage(m_hWnd, WM_COMMAND, ID_RUN_TASK, 0);
    }

    CProgressCtrl m_meter;
    CSliderCtrl m_slider;
    CEdit m_phone;
    CButton m_run;
    std::array<CButton, 3> m_steps;
    std::array<int, 3> m_checked{0, 1, 0};
    bool m_failSave = false; // DoDataExchange asks for a missing control when saving

    std::function<void(CTestDialog&)> onInit;
    std::function<void()> task;
    std::atomic<HWND> window{nullptr};
    std::atomic<int> runClicks{0}, customDraws{0}, paints{0}, erases{0}, creates{0}, destroys{0},
        ctlColors{0}, closes{0};

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnRun() { ++runClicks; }
    afx_msg void OnRunTask() { task(); }
    afx_msg void OnCustomDraw(NMHDR*, LRESULT* pResult) {
        ++customDraws;
        *pResult = CDRF_DODEFAULT;
    }
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    DECLARE_MESSAGE_MAP()
};

extern CTestApp theApp;

// Runs a dialog's DoModal on a window thread of its own and waits until its window is up.
class ModalRun {
public:
    explicit ModalRun(CTestDialog& dialog)
        : dialog_(dialog), thread_([this] { result = dialog_.DoModal(); }) {
        Eventually(
            [this] { return dialog_.window.load() != nullptr && IsWindowVisible(dialog_.window.load()); });
    }
    INT_PTR Outcome() {
        Eventually([this] { return result.load() != -2; });
        if (result.load() == -2 && IsWindow(dialog_.window.load())) {
            EndDialog(dialog_.window.load(), IDABORT);
        }
        thread_.join();
        return result.load();
    }
    HWND hwnd() const { return dialog_.window.load(); }
    std::atomic<INT_PTR> result{-2};

private:
    CTestDialog& dialog_;
    UiThread thread_;
};

} // namespace lullwatch::test
