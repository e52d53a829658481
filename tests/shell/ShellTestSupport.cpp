#include "tests/shell/ShellTestSupport.h"

#include "platform/win/Resources.h"

#include <mutex>

namespace lullwatch::test {
namespace {

const MENUPOPUPITEM kItems[] = {
    {L"About", ID_ABOUT}, {L"Settings", ID_SETTINGS}, {L"Display Off", ID_DISPLAY_OFF}};
const MENUBARTEMPLATE kMenu = {{L"OK", IDOK, nullptr, 0}, {L"Menu", 0, kItems, 3}};
const MENUBARTEMPLATE kCommandMenu = {{L"Done", IDOK, nullptr, 0}, {L"Back", IDCANCEL, nullptr, 0}};

} // namespace

void RegisterShellTestResources() {
    static std::once_flag once;
    std::call_once(once, [] {
        const HINSTANCE module = platform::resources::ProgramInstance();
        platform::resources::Register(module, RT_MENU, MAKEINTRESOURCE(kMenuId), &kMenu, sizeof kMenu);
        platform::resources::Register(module, RT_MENU, MAKEINTRESOURCE(kCommandMenuId), &kCommandMenu,
                                      sizeof kCommandMenu);
    });
}

} // namespace lullwatch::test
