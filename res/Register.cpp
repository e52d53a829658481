// Registers every resource of the program under its module; the host calls this once at start-up.
#include "platform/host/ProgramResources.h"
#include "platform/win/Resources.h"
#include "res/ProgramResources.h"

#include "app/Resource.h"

#include <cstddef>

extern const unsigned char kBackgroundBitmap[];
extern const std::size_t kBackgroundBitmapSize;
extern const unsigned char kProgramIcon[];
extern const std::size_t kProgramIconSize;

namespace {

void RegisterDialog(HINSTANCE module, UINT id, const DLGTEMPLATE& tmpl) {
    platform::resources::Register(module, RT_DIALOG, MAKEINTRESOURCE(id), &tmpl, sizeof tmpl);
}

} // namespace

void platform::host::RegisterProgramResources(HINSTANCE module) {
    RegisterDialog(module, IDD_MAIN_DIALOG, kMainDialogTemplate);
    RegisterDialog(module, IDD_SETTINGS_DIALOG, kSettingsDialogTemplate);
    RegisterDialog(module, IDD_ABOUT_DIALOG, kAboutDialogTemplate);
    RegisterDialog(module, IDD_CALL_DIALOG, kCallDialogTemplate);
    platform::resources::Register(module, RT_MENU, MAKEINTRESOURCE(IDR_MAIN_MENU), &kMainMenuBar,
                                  sizeof kMainMenuBar);
    platform::resources::Register(module, RT_BITMAP, MAKEINTRESOURCE(IDB_BACKGROUND), kBackgroundBitmap,
                                  static_cast<DWORD>(kBackgroundBitmapSize));
    platform::resources::Register(module, RT_GROUP_ICON, MAKEINTRESOURCE(IDI_MAIN_ICON), kProgramIcon,
                                  static_cast<DWORD>(kProgramIconSize));
}
