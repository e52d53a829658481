// The test program's resources: the controls dialog and its soft-key menu, registered with the device
// the same way the monitor registers its own.
#include "TestProgramIds.h"

#include "platform/host/ProgramResources.h"
#include "platform/shell/MenuTemplate.h"
#include "platform/win/Resources.h"
#include "platform/win/WinApi.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const DLGITEMTEMPLATE kControls[] = {
    {kChild | SS_LEFT, 0, 4, 5, 30, 8, IDC_NAME_LABEL, L"STATIC", L"Name:"},
    {kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 36, 3, 80, 12, IDC_NAME, L"EDIT", L""},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 4, 19, 54, 14, IDC_COPY, L"BUTTON", L"Copy"},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 62, 19, 54, 14, IDC_MESSAGE, L"BUTTON", L"Message"},
    {kChild | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 4, 37, 54, 10, IDC_LOW, L"BUTTON", L"Low"},
    {kChild | BS_AUTORADIOBUTTON, 0, 62, 37, 54, 10, IDC_HIGH, L"BUTTON", L"High"},
    {kChild | WS_BORDER | WS_GROUP, 0, 4, 52, 112, 10, IDC_PROGRESS, L"msctls_progress32", L""},
    {kChild | WS_TABSTOP | TBS_AUTOTICKS, 0, 4, 66, 112, 16, IDC_SLIDER, L"msctls_trackbar32", L""},
    {kChild | SS_LEFT, 0, 4, 88, 112, 8, IDC_STATUS, L"STATIC", L"Ready"},
};

const DLGTEMPLATE kControlsDialog = {
    WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT,
    0,
    0,
    0,
    120,
    134,
    L"Test program",
    8,
    L"Tahoma",
    kControls,
    static_cast<WORD>(sizeof kControls / sizeof kControls[0]),
};

const MENUPOPUPITEM kMenuItems[] = {
    {L"Reset", ID_RESET}, {L"Hello", ID_HELLO}, {L"Display Off", ID_DISPLAY_OFF}};
const MENUBARTEMPLATE kMenuBar = {
    {L"OK", IDOK, nullptr, 0},
    {L"Menu", 0, kMenuItems, 3},
};

} // namespace

void platform::host::RegisterProgramResources(HINSTANCE module) {
    platform::resources::Register(module, RT_DIALOG, MAKEINTRESOURCE(kControlsDialogId), &kControlsDialog,
                                  sizeof kControlsDialog);
    platform::resources::Register(module, RT_MENU, MAKEINTRESOURCE(kMenuBarId), &kMenuBar, sizeof kMenuBar);
}
