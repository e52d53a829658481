// The display's power state and the keep-awake record, as the platform sees them.
//
// The display is on at start. The compositor listens for changes (one listener, called on the thread
// that made the change, with no lock held) and shows a dark screen while it is off. Input from the user
// (front-ends) and from the automation channel should come through the User* functions: they behave as
// desktop::Inject*, except that while the display is off, the first key press, character or mouse
// press only switches the display on and is not delivered; the rest of that key (its release and a
// character typed with it) or of that click (its release) is dropped too.
#pragma once

#include "platform/win/WinTypes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform::shell {

bool IsDisplayOn();
void SetDisplayOn(bool on);
using DisplayListener = std::function<void(bool on)>;
void SetDisplayListener(DisplayListener listener); // nullptr removes it

// Whether unattended mode is held (PowerPolicyNotify with PPN_UNATTENDEDMODE: a monitoring session runs),
// and one listener told of each change, on the thread that made it, with no lock held. The front-end
// keeps the desktop's screen saver off while it is held.
bool IsUnattendedMode();
using UnattendedListener = std::function<void(bool held)>;
void SetUnattendedListener(UnattendedListener listener); // nullptr removes it

// When SystemIdleTimerReset was last called (none yet: nothing), and how often in all.
std::optional<std::chrono::steady_clock::time_point> LastIdleTimerReset();
std::uint64_t IdleTimerResetCount();

// The user's input, power-aware.
void UserKey(UINT vk, bool down);
void UserChar(wchar_t ch);
void UserMouse(POINT screenPoint, bool down);
void UserClick(POINT screenPoint);
void UserMouseMove(POINT screenPoint);

} // namespace platform::shell
