// Constants of the device API that the window core uses beyond the shared basic set in WinTypes.h:
// dialog-manager messages, window-long indices, hook codes and the error codes the window calls set.
#pragma once

#include "platform/win/WinTypes.h"

// Messages.
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;

// Dialog codes beyond WinTypes.h.
constexpr UINT DLGC_HASSETSEL = 0x0008;

// Window-long indices beyond WinTypes.h.
constexpr int GWL_HINSTANCE = -6;
constexpr int GWL_HWNDPARENT = -8;
// Bytes of window memory a dialog class reserves for DWL_MSGRESULT, DWL_DLGPROC and DWL_USER.
constexpr int DLGWINDOWEXTRA = 30;

// Window creation and showing.
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOWNA = 8;
constexpr WPARAM SIZE_RESTORED = 0;

// Mouse message flags.
constexpr WPARAM MK_LBUTTON = 0x0001;

// Static control style that makes a static take clicks.
constexpr DWORD SS_NOTIFY = 0x0100;

// Hooks.
constexpr int WH_MSGFILTER = -1;
constexpr int WH_CBT = 5;
constexpr int MSGF_DIALOGBOX = 0;
constexpr int HCBT_CREATEWND = 3;
constexpr int HCBT_DESTROYWND = 4;

// Threads.
constexpr DWORD CREATE_SUSPENDED = 0x00000004;

// Errors (GetLastError) beyond WinTypes.h.
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_INVALID_HOOK_HANDLE = 1404;
constexpr DWORD ERROR_NOT_CHILD_WINDOW = 1442;
constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
constexpr DWORD ERROR_WINDOW_OF_OTHER_THREAD = 1408;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
constexpr DWORD ERROR_TIMEOUT = 1460;
