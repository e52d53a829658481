#include "platform/controls/MessageBoxRegistry.h"

#include "platform/win/Desktop.h"
#include "platform/win/WinApi.h"

#include <map>
#include <mutex>

namespace platform::controls {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<HWND, MessageBoxInfo> boxes;
};

Registry& Boxes() {
    static auto* registry = new Registry; // boxes may still close while the process exits
    return *registry;
}

} // namespace

void RecordMessageBox(const MessageBoxInfo& info) {
    auto& r = Boxes();
    std::lock_guard lock(r.mutex);
    std::erase_if(r.boxes,
                  [](const auto& entry) { return !IsWindow(entry.first); }); // boxes of ended threads
    r.boxes[info.hwnd] = info;
}

void ForgetMessageBox(HWND hwnd) {
    auto& r = Boxes();
    std::lock_guard lock(r.mutex);
    r.boxes.erase(hwnd);
}

std::optional<MessageBoxInfo> ReadMessageBox(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return std::nullopt;
    }
    auto& r = Boxes();
    std::lock_guard lock(r.mutex);
    const auto it = r.boxes.find(hwnd);
    if (it == r.boxes.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool IsMessageBox(HWND hwnd) {
    return ReadMessageBox(hwnd).has_value();
}

HWND TopmostMessageBox() {
    for (const auto& window : desktop::EnumerateTopLevels()) {
        if (window.visible && IsMessageBox(window.hwnd)) {
            return window.hwnd;
        }
    }
    return nullptr;
}

bool PressMessageBoxButton(HWND box, int id) {
    if (!IsMessageBox(box)) {
        return false;
    }
    const HWND button = GetDlgItem(box, id);
    return button && PostMessage(button, BM_CLICK, 0, 0);
}

} // namespace platform::controls
