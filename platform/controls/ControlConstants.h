// Constants of the device API for the controls that the shared WinTypes.h does not carry.
#pragma once

#include "platform/win/WinTypes.h"

// Custom draw: the parent's answer to NM_CUSTOMDRAW.
constexpr LRESULT CDRF_SKIPDEFAULT = 0x4;

// Buttons.
constexpr WPARAM BST_INDETERMINATE = 2;
constexpr LRESULT BST_PUSHED = 0x4;
constexpr LRESULT BST_FOCUS = 0x8;

// Statics: draw '&' as it is.
constexpr DWORD SS_NOPREFIX = 0x80;

// Edit fields.
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;

// Progress bar: wParam TRUE asks for the low end of the range, FALSE for the high end.
constexpr UINT PBM_GETRANGE = WM_USER + 7;

// Trackbar.
constexpr UINT TBM_SETRANGE = WM_USER + 6;
constexpr UINT TBM_GETPAGESIZE = WM_USER + 22;
constexpr UINT TBM_GETLINESIZE = WM_USER + 24;
// Scroll codes a trackbar sends to its parent in the low word of WM_HSCROLL's wParam.
constexpr WORD TB_LINEUP = 0;
constexpr WORD TB_LINEDOWN = 1;
constexpr WORD TB_PAGEUP = 2;
constexpr WORD TB_PAGEDOWN = 3;
constexpr WORD TB_THUMBPOSITION = 4;
constexpr WORD TB_THUMBTRACK = 5;
constexpr WORD TB_TOP = 6;
constexpr WORD TB_BOTTOM = 7;
constexpr WORD TB_ENDTRACK = 8;

// Trackbar styles beyond WinTypes.h.
constexpr DWORD TBS_TOP = 0x0004;
constexpr DWORD TBS_NOTICKS = 0x0010;
