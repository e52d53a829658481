// The program's dialog templates: the main window (102), the Advanced settings dialog (103), the About
// box (104) and the call-progress window (105). Positions and sizes are in dialog units.
#include "res/ProgramResources.h"

#include "app/Resource.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON | BS_LEFTTEXT | WS_TABSTOP;
constexpr DWORD kSlider = kChild | WS_TABSTOP | TBS_AUTOTICKS | TBS_BOTH;
constexpr DWORD kLabel = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kCentredLabel = kChild | SS_CENTER | WS_GROUP;

constexpr LPCWSTR kButton = L"BUTTON";
constexpr LPCWSTR kEdit = L"EDIT";
constexpr LPCWSTR kStatic = L"STATIC";
constexpr LPCWSTR kProgress = L"msctls_progress32";
constexpr LPCWSTR kTrackbar = L"msctls_trackbar32";

const DLGITEMTEMPLATE kMainItems[] = {
    {kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 51, 80, 62, 32, IDC_RUN, kButton, L"Run"},
    {kChild | PBS_VERTICAL | WS_BORDER, 0, 24, 0, 11, 115, IDC_LEVEL_METER, kProgress, L""},
    {kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0, 50, 63, 63, 12, IDC_PHONE_NUMBER, kEdit, L""},
    {WS_CHILD | BS_GROUPBOX, 0, 0, 0, 23, 117, IDC_STATIC, kButton, L""},
    {kRadio, 0, 0, 0, 15, 10, IDC_STEP5, kButton, L""},
    {kRadio, 0, 1, 23, 14, 10, IDC_STEP4, kButton, L""},
    {kRadio, 0, 1, 44, 14, 10, IDC_STEP3, kButton, L""},
    {kRadio, 0, 2, 65, 13, 10, IDC_STEP2, kButton, L""},
    {kRadio, 0, 3, 86, 12, 10, IDC_STEP1, kButton, L""},
};

const DLGITEMTEMPLATE kSettingsItems[] = {
    {kSlider, 0, 7, 44, 99, 22, IDC_SENSITIVITY_SLIDER, kTrackbar, L""},
    {kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 7, 102, 50, 14, IDOK, kButton, L"Ok"},
    {kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 56, 102, 50, 14, IDCANCEL, kButton, L"Cancel"},
    {kLabel, 0, 7, 1, 99, 8, IDC_STATIC, kStatic, L"Period of sound averaging"},
    {kLabel, 0, 7, 9, 53, 8, IDC_STATIC, kStatic, L"1/8 sec (default)"},
    {kLabel, 0, 88, 9, 18, 8, IDC_STATIC, kStatic, L"5 sec"},
    {kLabel, 0, 7, 38, 99, 8, IDC_STATIC, kStatic, L"Sensitivity reduction factor"},
    {kSlider, 0, 7, 16, 99, 22, IDC_AVERAGE_SLIDER, kTrackbar, L""},
    {kSlider, 0, 0, 82, 106, 19, IDC_NOISE_SLIDER, kTrackbar, L""},
    {kLabel, 0, 7, 66, 87, 8, IDC_STATIC, kStatic, L"Noise is a signal less then"},
    {kLabel, 0, 7, 75, 60, 8, IDC_STATIC, kStatic, L"0 ms (default)"},
    {kLabel, 0, 81, 74, 25, 8, IDC_STATIC, kStatic, L"250 ms"},
};

const DLGITEMTEMPLATE kAboutItems[] = {
    {kCentredLabel, 0, 6, 30, 100, 10, IDC_STATIC, kStatic, L"Lullwatch v1.3"},
    {kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 31, 80, 50, 14, IDOK, kButton, L"OK"},
};

const DLGITEMTEMPLATE kCallItems[] = {
    {kCentredLabel, 0, 6, 10, 100, 8, 65535, kStatic, L"Phone Number:"},
    {kCentredLabel, 0, 6, 23, 100, 8, IDC_CALL_NUMBER, kStatic, L""},
    {kCentredLabel, 0, 6, 41, 100, 8, 65535, kStatic, L"Current Status:"},
    {kCentredLabel, 0, 6, 52, 100, 8, IDC_CALL_STATUS, kStatic, L""},
    {kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 29, 79, 50, 14, IDCANCEL, kButton, L"Hang Up"},
};

template <std::size_t N> constexpr WORD Count(const DLGITEMTEMPLATE (&)[N]) {
    return static_cast<WORD>(N);
}

} // namespace

const DLGTEMPLATE kMainDialogTemplate = {WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT,
                                         WS_EX_CAPTIONOKBTN | WS_EX_APPWINDOW,
                                         0,
                                         0,
                                         113,
                                         116,
                                         L"Lullwatch",
                                         8,
                                         L"MS Sans Serif",
                                         kMainItems,
                                         Count(kMainItems)};

const DLGTEMPLATE kSettingsDialogTemplate = {WS_POPUP | WS_CAPTION | DS_SETFONT,
                                             0,
                                             0,
                                             0,
                                             113,
                                             116,
                                             L"Advanced settings",
                                             8,
                                             L"MS Sans Serif",
                                             kSettingsItems,
                                             Count(kSettingsItems)};

const DLGTEMPLATE kAboutDialogTemplate = {WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT,
                                          0,
                                          0,
                                          0,
                                          113,
                                          116,
                                          L"About Lullwatch",
                                          8,
                                          L"MS Sans Serif",
                                          kAboutItems,
                                          Count(kAboutItems)};

const DLGTEMPLATE kCallDialogTemplate = {WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
                                         0,
                                         0,
                                         0,
                                         113,
                                         95,
                                         L"Lullwatch",
                                         8,
                                         L"Tahoma",
                                         kCallItems,
                                         Count(kCallItems)};
