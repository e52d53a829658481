// The registered window classes, one table for the whole process, looked up by name without regard to
// case (or by the atom RegisterClass returned). A class cannot be changed once registered; windows keep
// the class record they were made with, so unregistering a class does not disturb them.
#pragma once

#include "platform/win/WinApi.h"

#include <memory>
#include <string>

namespace platform::win {

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HBRUSH background = nullptr;

    bool isDialogClass() const { return wndExtra >= DLGWINDOWEXTRA; }
};

std::shared_ptr<const WindowClass> FindWindowClass(LPCWSTR nameOrAtom);

// Case-blind comparison of class names, for code that asks "is this a BUTTON?".
bool SameClassName(const std::wstring& a, LPCWSTR b);

} // namespace platform::win
