#include "MeterPanel.h"

#include "platform/controls/ControlClasses.h"

namespace testing_support {
namespace {

constexpr int kMeterId = 1002;

const DLGITEMTEMPLATE kItems[] = {
    {WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_VERTICAL, 0, 24, 0, 11, 115, kMeterId, L"msctls_progress32",
     L""},
};
const DLGTEMPLATE kPanel = {
    WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT, 0, 0, 0, 113, 116, L"Meter", 8, L"Tahoma", kItems, 1};

INT_PTR PanelProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

} // namespace

MeterPanel::MeterPanel(WindowThread& thread) {
    platform::controls::RegisterControlClasses();
    thread.Run([&] {
        dialog = CreateDialogIndirectParam(nullptr, &kPanel, nullptr, PanelProc, 0);
        meter = GetDlgItem(dialog, kMeterId);
        SendMessage(meter, PBM_SETRANGE, 0, MAKELPARAM(0, 5));
        SendMessage(meter, PBM_SETSTEP, 1, 0);
        GetWindowRect(meter, &meterOnScreen);
    });
}

} // namespace testing_support
