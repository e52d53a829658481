#include "tests/afx/AfxTestSupport.h"

#include "platform/shell/MenuTemplate.h"
#include "platform/win/Resources.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace lullwatch::test {

CTestApp theApp;

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
ON_COMMAND(ID_ABOUT, &CTestApp::OnAbout)
ON_COMMAND(ID_SETTINGS, &CTestApp::OnSettings)
END_MESSAGE_MAP()

IMPLEMENT_DYNAMIC(CTestDialog, CDialog)

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
ON_BN_CLICKED(IDC_RUN, &CTestDialog::OnRun)
ON_COMMAND(ID_RUN_TASK, &CTestDialog::OnRunTask)
ON_NOTIFY(NM_CUSTOMDRAW, IDC_METER, &CTestDialog::OnCustomDraw)
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_CTLCOLOR()
ON_WM_ERASEBKGND()
ON_WM_CHAR()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

namespace {

const DLGITEMTEMPLATE kItems[] = {
    {WS_VISIBLE | WS_TABSTOP, 0, 51, 60, 50, 20, IDC_RUN, L"BUTTON", L"Run"},
    {WS_VISIBLE | WS_BORDER | PBS_VERTICAL, 0, 24, 0, 11, 60, IDC_METER, L"msctls_progress32", L""},
    {WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 50, 40, 50, 12, IDC_PHONE, L"EDIT", L""},
    {WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_LEFTTEXT, 0, 0, 0, 15, 10, IDC_STEP_FIRST, L"BUTTON",
     L""},
    {WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_LEFTTEXT, 0, 0, 20, 15, 10, IDC_STEP_FIRST + 1,
     L"BUTTON", L""},
    {WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_LEFTTEXT, 0, 0, 40, 15, 10, IDC_STEP_FIRST + 2,
     L"BUTTON", L""},
    {WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS | TBS_BOTH, 0, 40, 0, 70, 22, IDC_SLIDER, L"msctls_trackbar32",
     L""},
    {WS_VISIBLE, 0, 40, 24, 70, 10, IDC_LABEL, L"STATIC", L"Label"},
    {WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 90, 40, 14, IDOK, L"BUTTON", L"OK"},
    {WS_VISIBLE | WS_TABSTOP, 0, 44, 90, 40, 14, IDCANCEL, L"BUTTON", L"Cancel"},
};

const DLGTEMPLATE kDialog = {
    WS_POPUP | WS_CAPTION | DS_SETFONT,  0, 0, 0, 113, 116, L"Afx test", 8, L"MS Sans Serif", kItems,
    static_cast<WORD>(std::size(kItems))};

const MENUPOPUPITEM kMenuItems[] = {
    {L"About", ID_ABOUT}, {L"Settings", ID_SETTINGS}, {L"Display Off", ID_DISPLAY_OFF}};
const MENUBARTEMPLATE kMenu = {{L"OK", IDOK, nullptr, 0}, {L"Menu", 0, kMenuItems, 3}};

// A 24-bit BMP file image of a w by h picture in one colour.
std::vector<std::uint8_t> SolidBmp(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const int row = (w * 3 + 3) / 4 * 4;
    const auto size = static_cast<std::uint32_t>(54 + row * h);
    std::vector<std::uint8_t> bmp(size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t at = 54 + static_cast<std::size_t>(y) * row + x * 3;
            bmp[at] = b;
            bmp[at + 1] = g;
            bmp[at + 2] = r;
        }
    }
    return bmp;
}

} // namespace

void RegisterTestResources() {
    static std::once_flag once;
    std::call_once(once, [] {
        static const std::vector<std::uint8_t> background = SolidBmp(4, 4, 200, 20, 20);
        const HINSTANCE module = platform::resources::ProgramInstance();
        platform::resources::Register(module, RT_DIALOG, MAKEINTRESOURCE(IDD_TEST), &kDialog, sizeof kDialog);
        platform::resources::Register(module, RT_MENU, MAKEINTRESOURCE(IDR_MENU), &kMenu, sizeof kMenu);
        platform::resources::Register(module, RT_BITMAP, MAKEINTRESOURCE(IDB_BACKGROUND), background.data(),
                                      static_cast<DWORD>(background.size()));
    });
}

void CTestDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_METER, m_meter);
    DDX_Control(pDX, IDC_SLIDER, m_slider);
    DDX_Control(pDX, IDC_PHONE, m_phone);
    DDX_Control(pDX, IDC_RUN, m_run);
    for (int i = 0; i < 3; ++i) {
        DDX_Control(pDX, IDC_STEP_FIRST + i, m_steps[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < 3; ++i) {
        DDX_Check(pDX, IDC_STEP_FIRST + i, m_checked[static_cast<std::size_t>(i)]);
    }
    if (m_failSave && pDX->m_bSaveAndValidate) {
        int unused = 0;
        DDX_Check(pDX, 999, unused);
    }
}

BOOL CTestDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    window = m_hWnd.load();
    if (onInit) {
        onInit(*this);
    }
    return TRUE;
}

void CTestDialog::OnPaint() {
    ++paints;
    CPaintDC dc(this);
}

// Paints the background picture over the whole client area, white where a 1-pixel strip is left.
BOOL CTestDialog::OnEraseBkgnd(CDC* pDC) {
    ++erases;
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(IDB_BACKGROUND)) {
        return TRUE;
    }
    BITMAP info{};
    bitmap.GetBitmap(&info);
    CDC memory;
    memory.CreateCompatibleDC(pDC);
    CBitmap* old = memory.SelectObject(&bitmap);
    RECT client{};
    GetClientRect(&client);
    pDC->StretchBlt(0, 0, client.right, client.bottom - 1, &memory, 0, 0, info.bmWidth, info.bmHeight,
                    SRCCOPY);
    CBrush white(RGB(255, 255, 255));
    const RECT strip{0, client.bottom - 1, client.right, client.bottom};
    pDC->FillRect(&strip, &white);
    memory.SelectObject(old);
    return TRUE;
}

int CTestDialog::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    ++creates;
    return CDialog::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CTestDialog::OnDestroy() {
    ++destroys;
    CDialog::OnDestroy();
}

void CTestDialog::OnClose() {
    ++closes;
    CDialog::OnClose();
}

HBRUSH CTestDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    ++ctlColors;
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

} // namespace lullwatch::test
