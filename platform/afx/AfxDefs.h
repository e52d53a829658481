// Names of the framework that its classes share: the afx_msg marker of message handlers, the
// WM_CTLCOLOR message that stands for every WM_CTLCOLOR* message in message maps, the command-bar
// constants, and the worker-thread function type.
#pragma once

#include "platform/win/WinApi.h"

// Marks message handlers in class declarations; it expands to nothing.
#define afx_msg

using LPCREATESTRUCT = CREATESTRUCT*;

// One message-map entry (ON_WM_CTLCOLOR) answers all the WM_CTLCOLOR* messages; the handler is told which
// kind of control asks.
constexpr UINT WM_CTLCOLOR = 0x0019;
constexpr UINT CTLCOLOR_MSGBOX = 0;
constexpr UINT CTLCOLOR_EDIT = 1;
constexpr UINT CTLCOLOR_LISTBOX = 2;
constexpr UINT CTLCOLOR_BTN = 3;
constexpr UINT CTLCOLOR_DLG = 4;
constexpr UINT CTLCOLOR_SCROLLBAR = 5;
constexpr UINT CTLCOLOR_STATIC = 6;

// The notification code of a plain command (a menu item or a button's BN_CLICKED).
constexpr int CN_COMMAND = 0;

// Command bars.
constexpr DWORD CBRS_TOP = 0x2000;
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;

using AFX_THREADPROC = UINT (*)(LPVOID);

class CCmdTarget;
class CWnd;
struct AFX_CMDHANDLERINFO; // not used by this framework; the argument is always nullptr

// What OnCmdMsg gets in pExtra for a WM_NOTIFY.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};
