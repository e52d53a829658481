// The phone shell's functions for programs: the extra controls, full-screen dialogs and the soft-key menu
// bar.
//
// SHInitExtraControls registers the shell's controls (the standard control classes here); TRUE.
//
// SHInitDialog, called from a dialog's WM_INITDIALOG: with SHIDIM_FLAGS, any of SHIDIF_SIZEDLG,
// SHIDIF_SIZEDLGFULLSCREEN and SHIDIF_FULLSCREENNOMENUBAR makes the dialog fill the work area, now and
// whenever the screen turns. SHIDIF_DONEBUTTON, SHIDIF_SIPDOWN and SHIDIF_EMPTYMENU are accepted and do
// nothing: this phone, like the device's smartphone shell, has no done button and no input panel.
// FALSE when the dialog is not a window.
//
// SHCreateMenuBar makes the soft-key menu bar of `hwndParent` from menu resource nToolBarId (RT_MENU, a
// MENUBARTEMPLATE, see MenuTemplate.h) of hInstRes, or an empty bar with SHCMBF_EMPTYBAR, and returns
// its window in hwndMB. The bar is a hidden child of hwndParent that registers the soft-key labels with
// the desktop and receives the soft keys (VK_TSOFT1, VK_TSOFT2). A soft key with a command posts
// WM_COMMAND (the command in the low word of wParam, 0 in lParam) to hwndParent; a soft key with a pop-up
// opens it above the soft-key bar, where Up, Down and Enter (or the left soft key, "Select") choose an
// item, Escape or the right soft key close it, and a click on an item chooses it. The chosen item is
// posted to hwndParent the same way. FALSE when the resource is missing, the parent is not a window, or
// menu bars were made to fail (platform::shell::SetMenuBarCreationFails).
#pragma once

#include "platform/win/WinApi.h"

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
using PSHINITDLGINFO = SHINITDLGINFO*;

constexpr DWORD SHIDIM_FLAGS = 0x0001;
constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
constexpr DWORD SHIDIF_SIPDOWN = 0x0008;
constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;
constexpr DWORD SHIDIF_EMPTYMENU = 0x0020;

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
};
using PSHMENUBARINFO = SHMENUBARINFO*;

constexpr DWORD SHCMBF_EMPTYBAR = 0x0001;
constexpr DWORD SHCMBF_HIDDEN = 0x0002;
constexpr DWORD SHCMBF_HIDESIPBUTTON = 0x0004;
constexpr DWORD SHCMBF_COLORBK = 0x0008;
constexpr DWORD SHCMBF_HMENU = 0x0010;

BOOL SHInitExtraControls();
BOOL SHInitDialog(PSHINITDLGINFO pshidi);
BOOL SHCreateMenuBar(SHMENUBARINFO* pmbi);
