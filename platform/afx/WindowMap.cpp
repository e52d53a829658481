#include "platform/afx/WindowMap.h"

#include <mutex>
#include <unordered_map>

namespace platform::afx {
namespace {

struct Map {
    std::mutex mutex;
    std::unordered_map<HWND, CWnd*> windows;
};

Map& Windows() {
    static auto* map = new Map; // objects may unbind while the process exits
    return *map;
}

} // namespace

bool BindWindow(HWND hwnd, CWnd* wnd) {
    auto& m = Windows();
    std::lock_guard lock(m.mutex);
    return m.windows.emplace(hwnd, wnd).second;
}

void UnbindWindow(HWND hwnd, const CWnd* wnd) {
    auto& m = Windows();
    std::lock_guard lock(m.mutex);
    const auto it = m.windows.find(hwnd);
    if (it != m.windows.end() && it->second == wnd) {
        m.windows.erase(it);
    }
}

CWnd* BoundWindow(HWND hwnd) {
    auto& m = Windows();
    std::lock_guard lock(m.mutex);
    const auto it = m.windows.find(hwnd);
    return it == m.windows.end() ? nullptr : it->second;
}

} // namespace platform::afx
