// The temporary wrapper objects of a thread: what FromHandle returns for a window, device context or GDI
// object that has no permanent wrapper. They never destroy what they wrap, and they are released when
// the thread's outermost window procedure call returns (each message handled from a message loop is one
// such call), or when the thread ends. Internal to the framework.
#pragma once

#include "platform/afx/CGdiObject.h"

#include <memory>

class CDC;
class CWnd;

namespace platform::afx {

CWnd* TemporaryWnd(HWND hwnd);
CDC* TemporaryDC(HDC hdc);
void KeepTemporaryGdiObject(std::unique_ptr<CGdiObject> object);

template <typename T> T* TemporaryGdiObject(HGDIOBJ handle) {
    if (!handle) {
        return nullptr;
    }
    auto object = std::make_unique<T>();
    object->m_hObject = handle;
    T* raw = object.get();
    KeepTemporaryGdiObject(std::move(object));
    return raw;
}

// Brackets one window procedure call of the framework on this thread.
class WindowProcScope {
public:
    WindowProcScope();
    ~WindowProcScope();
    WindowProcScope(const WindowProcScope&) = delete;
    WindowProcScope& operator=(const WindowProcScope&) = delete;
};

} // namespace platform::afx
