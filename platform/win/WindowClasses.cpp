#include "platform/win/WindowClasses.h"

#include "platform/win/ThreadContext.h"
#include "platform/win/WindowRegistry.h"

#include <cwctype>
#include <map>
#include <mutex>

namespace platform::win {
namespace {

std::wstring Folded(LPCWSTR name) {
    std::wstring out;
    for (; name && *name; ++name) {
        out.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(*name))));
    }
    return out;
}

struct ClassTable {
    std::mutex mutex;
    std::map<std::wstring, std::shared_ptr<const WindowClass>> byName;
    ATOM nextAtom = 0xC000;
};

ClassTable& Table() {
    static auto* table = new ClassTable; // never destroyed: windows may be made during exit
    return *table;
}

} // namespace

std::shared_ptr<const WindowClass> FindWindowClass(LPCWSTR nameOrAtom) {
    if (!nameOrAtom) {
        return nullptr;
    }
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    if (IS_INTRESOURCE(nameOrAtom)) {
        const auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(nameOrAtom));
        for (const auto& [name, cls] : t.byName) {
            if (cls->atom == atom) {
                return cls;
            }
        }
        return nullptr;
    }
    const auto it = t.byName.find(Folded(nameOrAtom));
    return it == t.byName.end() ? nullptr : it->second;
}

bool SameClassName(const std::wstring& a, LPCWSTR b) {
    return b && Folded(a.c_str()) == Folded(b);
}

} // namespace platform::win

using namespace platform::win;

ATOM RegisterClass(const WNDCLASS* wc) {
    if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !*wc->lpszClassName ||
        !wc->lpfnWndProc || wc->cbWndExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc->lpszClassName;
    cls->style = wc->style;
    cls->proc = wc->lpfnWndProc;
    cls->wndExtra = wc->cbWndExtra;
    cls->instance = wc->hInstance;
    cls->icon = wc->hIcon;
    cls->background = wc->hbrBackground;
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    const auto key = Folded(wc->lpszClassName);
    if (t.byName.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    cls->atom = t.nextAtom++;
    const ATOM atom = cls->atom;
    t.byName.emplace(key, std::move(cls));
    return atom;
}

BOOL UnregisterClass(LPCWSTR className, HINSTANCE) {
    const auto cls = FindWindowClass(className);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    t.byName.erase(Folded(cls->name.c_str()));
    return TRUE;
}

int GetClassName(HWND hwnd, LPWSTR buffer, int size) {
    std::wstring name;
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        name = w->windowClass->name;
    }
    if (!buffer || size <= 0) {
        return 0;
    }
    const int n = std::min(static_cast<int>(name.size()), size - 1);
    name.copy(buffer, static_cast<std::size_t>(n));
    buffer[n] = L'\0';
    return n;
}
