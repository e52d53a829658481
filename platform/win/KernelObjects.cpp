#include "platform/win/KernelObjects.h"

#include <mutex>
#include <unordered_map>

namespace platform::win {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
    std::uintptr_t next = 0x30000;
};

HandleTable& Table() {
    static auto* table = new HandleTable; // never destroyed: handles may be closed during exit
    return *table;
}

} // namespace

HANDLE InsertKernelObject(std::shared_ptr<KernelObject> object) {
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    const auto number = t.next;
    t.next += 4;
    t.objects.emplace(number, std::move(object));
    return reinterpret_cast<HANDLE>(number);
}

std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle) {
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    const auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

bool CloseKernelObject(HANDLE handle) {
    std::shared_ptr<KernelObject> object; // released after the lock
    auto& t = Table();
    std::lock_guard lock(t.mutex);
    const auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == t.objects.end()) {
        return false;
    }
    object = std::move(it->second);
    t.objects.erase(it);
    return true;
}

} // namespace platform::win
