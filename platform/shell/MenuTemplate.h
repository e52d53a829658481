// The menu resource of a soft-key menu bar (resource type RT_MENU): what each of the two soft keys says
// and does. A soft key either sends a command (popup nullptr, popupCount 0) or opens a pop-up list of
// items, each of which sends its command. The program registers its menus with its other resources; the
// data stays in the program's static storage. For example:
//
//     const MENUPOPUPITEM kMainMenuItems[] = {{L"About", ID_ABOUT}, {L"Settings", ID_SETTINGS}};
//     const MENUBARTEMPLATE kMainMenu = {
//         {L"OK", IDOK, nullptr, 0},
//         {L"Menu", 0, kMainMenuItems, 2},
//     };
//     platform::resources::Register(instance, RT_MENU, MAKEINTRESOURCE(128), &kMainMenu, sizeof kMainMenu);
#pragma once

#include "platform/win/WinTypes.h"

struct MENUPOPUPITEM {
    LPCWSTR text;
    UINT id; // the command the item sends
};

struct SOFTKEYTEMPLATE {
    LPCWSTR text;               // the label the soft-key bar shows
    UINT id;                    // the command the key sends, when it has no pop-up
    const MENUPOPUPITEM* popup; // the pop-up's items, top first, or nullptr
    UINT popupCount;
};

struct MENUBARTEMPLATE {
    SOFTKEYTEMPLATE left;
    SOFTKEYTEMPLATE right;
};
