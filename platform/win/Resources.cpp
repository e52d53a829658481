#include "platform/win/Resources.h"

#include "platform/gdi/GdiBackend.h"
#include "platform/win/WinApi.h"

#include <cwchar>
#include <cwctype>
#include <deque>
#include <mutex>
#include <string>

namespace platform::resources {
namespace {

// A type or a name: an integer id or a case-folded string.
struct Key {
    bool isId = true;
    std::uintptr_t id = 0;
    std::wstring text;

    static Key Of(LPCWSTR value) {
        Key key;
        if (IS_INTRESOURCE(value)) {
            key.id = reinterpret_cast<std::uintptr_t>(value);
            return key;
        }
        if (value[0] == L'#') {
            key.id = std::wcstoul(value + 1, nullptr, 10);
            return key;
        }
        key.isId = false;
        for (const wchar_t* p = value; *p; ++p) {
            key.text.push_back(static_cast<wchar_t>(std::towupper(static_cast<wint_t>(*p))));
        }
        return key;
    }
    bool operator==(const Key& other) const {
        return isId == other.isId && (isId ? id == other.id : text == other.text);
    }
};

struct Entry {
    HINSTANCE module;
    Key type;
    Key name;
    const void* data;
    DWORD size;
};

struct Table {
    std::mutex mutex;
    std::deque<Entry> entries; // a deque keeps entries in place: an HRSRC points at one
};

Table& Resources() {
    static auto* table = new Table; // never destroyed: resources live as long as the process
    return *table;
}

const Entry* Find(HINSTANCE module, LPCWSTR name, LPCWSTR type) {
    if (!name || !type) {
        return nullptr;
    }
    const Key typeKey = Key::Of(type);
    const Key nameKey = Key::Of(name);
    if (!module) {
        module = ProgramInstance();
    }
    auto& t = Resources();
    std::lock_guard lock(t.mutex);
    for (const auto& e : t.entries) {
        if (e.module == module && e.type == typeKey && e.name == nameKey) {
            return &e;
        }
    }
    return nullptr;
}

const Entry* EntryOf(HRSRC resource) {
    auto& t = Resources();
    std::lock_guard lock(t.mutex);
    for (const auto& e : t.entries) {
        if (reinterpret_cast<HRSRC>(const_cast<Entry*>(&e)) == resource) {
            return &e;
        }
    }
    return nullptr;
}

} // namespace

void Register(HINSTANCE module, LPCWSTR type, LPCWSTR name, const void* data, DWORD size) {
    if (!type || !name) {
        return;
    }
    Entry entry{module ? module : ProgramInstance(), Key::Of(type), Key::Of(name), data, size};
    auto& t = Resources();
    std::lock_guard lock(t.mutex);
    for (auto& e : t.entries) {
        if (e.module == entry.module && e.type == entry.type && e.name == entry.name) {
            e = std::move(entry);
            return;
        }
    }
    t.entries.push_back(std::move(entry));
}

HINSTANCE ProgramInstance() {
    return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x00400000));
}

} // namespace platform::resources

using namespace platform::resources;

HRSRC FindResource(HINSTANCE instance, LPCWSTR name, LPCWSTR type) {
    const Entry* e = Find(instance, name, type);
    if (!e) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<Entry*>(e));
}

HGLOBAL LoadResource(HINSTANCE, HRSRC resource) {
    const Entry* e = EntryOf(resource);
    return e ? e->data : nullptr;
}

DWORD SizeofResource(HINSTANCE, HRSRC resource) {
    const Entry* e = EntryOf(resource);
    return e ? e->size : 0;
}

LPVOID LockResource(HGLOBAL data) {
    return const_cast<void*>(data);
}

HICON LoadIcon(HINSTANCE instance, LPCWSTR name) {
    return reinterpret_cast<HICON>(FindResource(instance, name, RT_GROUP_ICON));
}

HBITMAP LoadBitmap(HINSTANCE instance, LPCWSTR name) {
    const HRSRC resource = FindResource(instance, name, RT_BITMAP);
    const Entry* e = EntryOf(resource);
    if (!e || !e->data) {
        return nullptr;
    }
    return platform::gdi::CreateBitmapFromBmp(e->data, e->size);
}
