// A thread-safe table that hands out opaque handles for shared objects. Handles are numbers that are
// never reused, so a handle to an object that has been removed, or a made-up handle, simply finds
// nothing. Lookups return a shared reference, so an object stays alive for a caller that is still using
// it while another thread removes its handle.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform::gdi {

template <typename Handle, typename Object> class HandleTable {
public:
    // Handles are numbered from `firstId` upwards.
    explicit HandleTable(std::uintptr_t firstId) : next_(firstId) {}

    Handle add(std::shared_ptr<Object> object) {
        std::lock_guard lock(mutex_);
        const std::uintptr_t id = next_++;
        objects_.emplace(id, std::move(object));
        return reinterpret_cast<Handle>(id);
    }

    // Registers an object under a handle chosen by the caller (stock objects); false if it is taken.
    bool addAt(Handle handle, std::shared_ptr<Object> object) {
        std::lock_guard lock(mutex_);
        return objects_.emplace(reinterpret_cast<std::uintptr_t>(handle), std::move(object)).second;
    }

    std::shared_ptr<Object> find(Handle handle) const {
        std::lock_guard lock(mutex_);
        const auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
        return it == objects_.end() ? nullptr : it->second;
    }

    // Removes the handle; false if it named nothing.
    bool remove(Handle handle) {
        std::shared_ptr<Object> doomed; // released after the lock, in case its destructor is heavy
        std::lock_guard lock(mutex_);
        const auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == objects_.end()) {
            return false;
        }
        doomed = std::move(it->second);
        objects_.erase(it);
        return true;
    }

private:
    mutable std::mutex mutex_;
    std::uintptr_t next_;
    std::unordered_map<std::uintptr_t, std::shared_ptr<Object>> objects_;
};

} // namespace platform::gdi
