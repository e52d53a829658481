// The window manager: windows and their owner threads, message queues, sent and posted messages,
// timers, the clock, painting, dialogs built from templates, message boxes and resources.
//
// Thread rules, as on the device:
// - A window belongs to the thread that created it. Every thread that owns windows, or calls GetMessage,
//   has a message queue of its own.
// - SendMessage on the owner thread calls the window procedure directly. From another thread it queues the
//   message for the owner and waits; meanwhile the waiting thread still handles messages sent to its own
//   windows, so two threads sending to each other never deadlock. The owner handles sent messages whenever
//   it retrieves messages (GetMessage, PeekMessage), inside every modal loop, and while it waits in a
//   SendMessage of its own. A message to a destroyed window, or to a window whose thread has ended,
//   returns 0 at once.
// - Timers call their procedure on the window's thread, from whatever message loop it runs.
// - GetTickCount, Sleep and timers read the platform clock (see Clock.h), which may run faster than
//   real time.
#pragma once

#include "platform/win/WinConstants.h"
#include "platform/win/WinTypes.h"

// --- Window classes and windows ---------------------------------------------------------------------
struct WNDCLASS {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HANDLE hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};
using ATOM = WORD;
// Class names are compared without regard to case. Registering a name twice fails
// (ERROR_CLASS_ALREADY_EXISTS). A class whose cbWndExtra is at least DLGWINDOWEXTRA is a dialog class:
// its windows keep DWL_MSGRESULT, DWL_DLGPROC and DWL_USER.
ATOM RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(LPCWSTR className, HINSTANCE instance);

// What WM_CREATE carries in lParam (and the CBT hook in CBT_CREATEWND).
struct CREATESTRUCT {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

// Top-level windows have no frame: their client area is the whole window, and the caption is drawn by
// the desktop. Window messages on creation: the CBT hook, WM_CREATE (-1 fails the creation; the window
// then gets WM_DESTROY and WM_NCDESTROY), WM_SIZE, and WM_SHOWWINDOW for a visible top-level window.
HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param);
// Only the owner thread may destroy a window. Owned windows go first; then the window gets WM_DESTROY
// before its children do, and WM_NCDESTROY after them. The handle is dead afterwards.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
inline LONG GetWindowLong(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtr(hwnd, index));
}
inline LONG SetWindowLong(HWND hwnd, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value));
}
int GetClassName(HWND hwnd, LPWSTR buffer, int size);

HWND GetParent(HWND hwnd);            // the parent of a child window, the owner of a WS_POPUP window
BOOL IsChild(HWND parent, HWND hwnd); // hwnd is a descendant of parent
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
HWND GetWindow(HWND hwnd, UINT cmd); // siblings are in creation order (z-order, top first)
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

BOOL SetWindowText(HWND hwnd, LPCWSTR text);
int GetWindowText(HWND hwnd, LPWSTR buffer, int size);
int GetWindowTextLength(HWND hwnd);
BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int size);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);

BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL GetWindowRect(HWND hwnd, RECT* rect); // screen coordinates
BOOL ScreenToClient(HWND hwnd, POINT* point);
BOOL ClientToScreen(HWND hwnd, POINT* point);
// The focus is kept per thread: each thread has its own focus window among the windows it owns.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetActiveWindow(); // the top-level window that holds this thread's focus
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd); // brings a visible top-level window to the top of the z-order
HWND SetCapture(HWND hwnd);          // mouse input goes to hwnd until ReleaseCapture
BOOL ReleaseCapture();
HWND GetCapture();
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);

// --- Messages ---------------------------------------------------------------------------------------
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam); // a null hwnd posts to this thread
BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
// The input path posts WM_CHAR itself, so TranslateMessage has nothing to add and returns FALSE.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL IsDialogMessage(HWND dialog, MSG* msg);
// The state of a key as of the last keyboard message this thread retrieved: negative while down.
short GetKeyState(int vk);

// --- Timers and time --------------------------------------------------------------------------------
// A timer belongs to the thread that owns its window (or, with no window, to the calling thread). Its
// WM_TIMER is generated when nothing else is waiting; DispatchMessage calls the TIMERPROC, or the window
// procedure when there is none. Setting an id that runs restarts it.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
DWORD GetTickCount();
void Sleep(DWORD ms);

// --- Painting ---------------------------------------------------------------------------------------
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
};
// Invalidating a window also invalidates the part of its children that the rectangle covers; they are
// painted after it. WM_PAINT is generated when the thread has no other message waiting.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

// --- Dialogs ----------------------------------------------------------------------------------------
// A dialog template: caption, style, font, size in dialog units and the controls in template order.
struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    int id;
    LPCWSTR windowClass; // "BUTTON", "EDIT", "STATIC", "msctls_progress32", "msctls_trackbar32"
    LPCWSTR title;
};
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    LPCWSTR caption;
    WORD pointSize;
    LPCWSTR typeface;
    const DLGITEMTEMPLATE* items;
    WORD cdit;
};
using LPCDLGTEMPLATE = const DLGTEMPLATE*;

// Dialog units are 2 pixels each way. A top-level dialog fills the desktop's work area and follows it when
// the screen turns, unless its template has DS_CENTER (then it keeps its template size, centred in the
// work area). A WS_CHILD dialog is placed in its parent at the template position. Each control gets
// WM_SETFONT with the template font (DS_SETFONT). WM_INITDIALOG returning TRUE puts the focus on the
// first WS_TABSTOP control.
HWND CreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                               LPARAM init);
// Runs the dialog modally on the calling thread: its owner (the top-level window of `parent`) is disabled
// until the dialog ends, and the loop routes keys through IsDialogMessage. Returns the EndDialog result,
// or -1 when the dialog could not be created.
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                               LPARAM init);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL MapDialogRect(HWND dialog, RECT* rect);
int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type); // provided by the controls

// --- Hooks (the CBT hook's window creation notice, which the framework uses to attach its objects) ----
struct HHOOK__;
using HHOOK = HHOOK__*;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);
struct CBT_CREATEWND {
    CREATESTRUCT* lpcs;
    HWND hwndInsertAfter;
};
// Only WH_CBT and WH_MSGFILTER hooks of the calling thread are supported (threadId 0 or the caller's id).
// A CBT hook gets HCBT_CREATEWND (wParam the new window, lParam a CBT_CREATEWND*) before WM_CREATE; a
// nonzero result fails the creation. A message-filter hook gets MSGF_DIALOGBOX (lParam the MSG*) for
// each message a dialog's modal loop has taken, before the dialog manager or the window sees it; a
// nonzero result drops the message.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
// Hands `msg` to the calling thread's message-filter hooks; TRUE when one of them took it.
BOOL CallMsgFilter(MSG* msg, int code);

// --- Rectangles (right/bottom exclusive) -------------------------------------------------------------
BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL CopyRect(RECT* dst, const RECT* src);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL InflateRect(RECT* rect, int dx, int dy);
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b);

// --- Resources --------------------------------------------------------------------------------------
// A module's resources are registered by code (platform/win/Resources.h). A null instance means the
// program's module. Names and types are integer ids (MAKEINTRESOURCE), "#123" or case-blind strings.
HRSRC FindResource(HINSTANCE instance, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HINSTANCE instance, HRSRC resource);
DWORD SizeofResource(HINSTANCE instance, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
HICON LoadIcon(HINSTANCE instance, LPCWSTR name); // RT_GROUP_ICON; an opaque handle
// A bitmap from the module's resources (RT_BITMAP, a 24-bit uncompressed BMP file image); nullptr if none.
HBITMAP LoadBitmap(HINSTANCE instance, LPCWSTR name);

// --- Threads and errors -----------------------------------------------------------------------------
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);
// When a thread ends, its windows are destroyed (without messages: the thread that would handle them is
// gone), and its queue refuses further messages; a SendMessage waiting for it returns 0. The thread
// handle stays valid, with the exit code, until CloseHandle. flags: 0 or CREATE_SUSPENDED.
HANDLE CreateThread(void* security, std::size_t stackSize, LPTHREAD_START_ROUTINE start, LPVOID param,
                    DWORD flags, DWORD* threadId);
DWORD ResumeThread(HANDLE thread);
DWORD GetCurrentThreadId();
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode); // STILL_ACTIVE while the thread runs
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
DWORD WaitForSingleObject(HANDLE handle, DWORD ms); // ms of device time (see Clock.h)
BOOL CloseHandle(HANDLE handle);
DWORD GetLastError();
void SetLastError(DWORD error);
