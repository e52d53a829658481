// The user's input on its way to the desktop, where a dark display eats the press that wakes it.
#include "platform/shell/Power.h"
#include "platform/win/Desktop.h"

#include <mutex>
#include <optional>

namespace platform::shell {
namespace {

enum class Fate { Deliver, Drop, Wake };

// What is left of the input that woke the display, to be dropped as well.
struct WakeRemains {
    std::mutex mutex;
    std::optional<UINT> key; // the waking key, until it is released
    bool mouse = false;      // the waking press of the mouse button, until it is released
};

WakeRemains& Remains() {
    static auto* remains = new WakeRemains;
    return *remains;
}

// Wakes the display when asked; true when the input is to be delivered.
bool Apply(Fate fate) {
    if (fate == Fate::Wake) {
        SetDisplayOn(true);
    }
    return fate == Fate::Deliver;
}

} // namespace

void UserKey(UINT vk, bool down) {
    auto& r = Remains();
    Fate fate = Fate::Deliver;
    {
        std::lock_guard lock(r.mutex);
        if (r.key == vk) {
            if (!down) {
                r.key.reset();
            }
            fate = Fate::Drop;
        } else if (down && !IsDisplayOn()) {
            r.key = vk;
            fate = Fate::Wake;
        }
    }
    if (Apply(fate)) {
        desktop::InjectKey(vk, down);
    }
}

void UserChar(wchar_t ch) {
    auto& r = Remains();
    Fate fate = Fate::Deliver;
    {
        std::lock_guard lock(r.mutex);
        if (r.key) {
            fate = Fate::Drop;
        } else if (!IsDisplayOn()) {
            fate = Fate::Wake;
        }
    }
    if (Apply(fate)) {
        desktop::InjectChar(ch);
    }
}

void UserMouse(POINT screenPoint, bool down) {
    auto& r = Remains();
    Fate fate = Fate::Deliver;
    {
        std::lock_guard lock(r.mutex);
        if (r.mouse) {
            if (!down) {
                r.mouse = false;
            }
            fate = Fate::Drop;
        } else if (down && !IsDisplayOn()) {
            r.mouse = true;
            fate = Fate::Wake;
        }
    }
    if (Apply(fate)) {
        desktop::InjectMouse(screenPoint, down);
    }
}

void UserClick(POINT screenPoint) {
    UserMouse(screenPoint, true);
    UserMouse(screenPoint, false);
}

void UserMouseMove(POINT screenPoint) {
    auto& r = Remains();
    {
        std::lock_guard lock(r.mutex);
        if (r.mouse || !IsDisplayOn()) {
            return;
        }
    }
    desktop::InjectMouseMove(screenPoint);
}

} // namespace platform::shell
