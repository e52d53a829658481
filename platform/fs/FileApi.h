// The device's file-system services as the program uses them: folders, the application-data folder and
// the conversions between wide text and the ANSI code page.
//
// Paths are wide strings, absolute, and both '\' and '/' separate their parts, as on the device; they reach
// the Linux calls as UTF-8. The application-data folder is a folder the device always has: asking for it
// creates it (with its parents) when it is missing. Everything here may be called from any thread.
#pragma once

#include "platform/win/WinTypes.h"

constexpr DWORD MAX_PATH = 260;

// Creates one folder; its parent must exist. FALSE when the folder exists already or cannot be created.
// `security` is accepted and ignored.
BOOL CreateDirectoryW(LPCWSTR path, void* security);

// Special folders.
constexpr int CSIDL_APPDATA = 0x001A;

// Writes the path of the special folder `csidl` into `path` (room for MAX_PATH characters), without a
// trailing separator. Only CSIDL_APPDATA is known; FALSE for any other folder or when the path does not
// fit. `owner` and `create` are accepted and ignored (the folder is always there).
BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int csidl, BOOL create);

// Code pages. The ANSI code page (CP_ACP) is Windows-1252: one byte per character. The five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the
// same value, so every byte has a character and converting back gives the same byte.
constexpr UINT CP_ACP = 0;

// Both conversions follow the device's calling conventions: a source length of -1 means a NUL-terminated
// source, NUL included in the count; a destination length of 0 asks for the size needed and writes
// nothing; a destination too small, an empty source, an unknown code page or a missing buffer give 0.
// `flags` are accepted and ignored.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLen, LPWSTR dst, int dstLen);

// A character with no byte in the code page becomes `defaultChar` ('?' when null); `usedDefault`, when
// given, tells whether that happened.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, char* dst, int dstLen,
                        const char* defaultChar, BOOL* usedDefault);
