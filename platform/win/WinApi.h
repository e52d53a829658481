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
ATOM RegisterClass(const WNDCLASS* wc);

HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param);
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

HWND GetParent(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
HWND GetWindow(HWND hwnd, UINT cmd);

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
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetActiveWindow();
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);

// --- Messages ---------------------------------------------------------------------------------------
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL IsDialogMessage(HWND dialog, MSG* msg);

// --- Timers and time --------------------------------------------------------------------------------
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

HWND CreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                               LPARAM init);
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                               LPARAM init);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL MapDialogRect(HWND dialog, RECT* rect);
int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// --- Resources --------------------------------------------------------------------------------------
HRSRC FindResource(HINSTANCE instance, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HINSTANCE instance, HRSRC resource);
DWORD SizeofResource(HINSTANCE instance, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
HICON LoadIcon(HINSTANCE instance, LPCWSTR name);
// A bitmap from the module's resources (RT_BITMAP, a 24-bit uncompressed BMP file image); nullptr if none.
HBITMAP LoadBitmap(HINSTANCE instance, LPCWSTR name);

// --- Threads and errors -----------------------------------------------------------------------------
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);
HANDLE CreateThread(void* security, std::size_t stackSize, LPTHREAD_START_ROUTINE start, LPVOID param,
                    DWORD flags, DWORD* threadId);
DWORD GetCurrentThreadId();
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
DWORD WaitForSingleObject(HANDLE handle, DWORD ms);
BOOL CloseHandle(HANDLE handle);
DWORD GetLastError();
void SetLastError(DWORD error);
