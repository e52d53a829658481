// Menu 128, the main window's soft keys: "OK" on the left, "Menu" on the right with About, Settings and
// Display Off.
#include "res/ProgramResources.h"

#include "app/Resource.h"

namespace {

const MENUPOPUPITEM kMainMenuItems[] = {
    {L"About", ID_ABOUT},
    {L"Settings", ID_SETTINGS},
    {L"Display Off", ID_DISPLAY_OFF},
};

} // namespace

const MENUBARTEMPLATE kMainMenuBar = {
    {L"OK", IDOK, nullptr, 0},
    {L"Menu", 0, kMainMenuItems, 3},
};
