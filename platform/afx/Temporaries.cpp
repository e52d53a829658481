#include "platform/afx/Temporaries.h"

#include "platform/afx/CDC.h"
#include "platform/afx/CWnd.h"

#include <unordered_map>
#include <vector>

namespace platform::afx {
namespace {

struct ThreadTemporaries {
    int depth = 0;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> windows;
    std::unordered_map<HDC, std::unique_ptr<CDC>> dcs;
    std::vector<std::unique_ptr<CGdiObject>> gdiObjects;

    void release() {
        for (auto& [hwnd, wnd] : windows) {
            wnd->m_hWnd = nullptr;
        }
        for (auto& [hdc, dc] : dcs) {
            dc->Detach();
        }
        for (auto& object : gdiObjects) {
            object->Detach();
        }
        windows.clear();
        dcs.clear();
        gdiObjects.clear();
    }

    ~ThreadTemporaries() { release(); }
};

ThreadTemporaries& Temporaries() {
    thread_local ThreadTemporaries temporaries;
    return temporaries;
}

} // namespace

CWnd* TemporaryWnd(HWND hwnd) {
    auto& t = Temporaries();
    auto& slot = t.windows[hwnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hwnd;
    }
    return slot.get();
}

CDC* TemporaryDC(HDC hdc) {
    if (!hdc) {
        return nullptr;
    }
    auto& slot = Temporaries().dcs[hdc];
    if (!slot) {
        slot = std::make_unique<CDC>();
        slot->Attach(hdc);
    }
    return slot.get();
}

void KeepTemporaryGdiObject(std::unique_ptr<CGdiObject> object) {
    Temporaries().gdiObjects.push_back(std::move(object));
}

WindowProcScope::WindowProcScope() {
    ++Temporaries().depth;
}

WindowProcScope::~WindowProcScope() {
    auto& t = Temporaries();
    if (--t.depth == 0) {
        t.release();
    }
}

} // namespace platform::afx
