// SHInitExtraControls and SHInitDialog.
#include "platform/controls/ControlClasses.h"
#include "platform/shell/AygShell.h"
#include "platform/win/Desktop.h"

BOOL SHInitExtraControls() {
    platform::controls::RegisterControlClasses();
    return TRUE;
}

BOOL SHInitDialog(PSHINITDLGINFO pshidi) {
    if (!pshidi || !IsWindow(pshidi->hDlg)) {
        return FALSE;
    }
    constexpr DWORD kFullScreenFlags = SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR;
    if ((pshidi->dwMask & SHIDIM_FLAGS) && (pshidi->dwFlags & kFullScreenFlags)) {
        platform::desktop::SetFullScreen(pshidi->hDlg, true);
    }
    return TRUE;
}
