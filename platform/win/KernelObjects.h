// The table of kernel object handles (HANDLE): threads now, and whatever other area needs a waitable or
// closable handle. A handle is a number that stays valid until CloseHandle; the object itself lives as
// long as anyone uses it (a running thread keeps its own object alive after its handle is closed).
#pragma once

#include "platform/win/Clock.h"
#include "platform/win/WinTypes.h"

#include <memory>
#include <optional>

namespace platform::win {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Waits until the object is signalled (true) or the real-time deadline passes (false); no deadline
    // waits as long as it takes.
    virtual bool wait(std::optional<Clock::RealTime> deadline) = 0;
};

HANDLE InsertKernelObject(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle);
bool CloseKernelObject(HANDLE handle);

} // namespace platform::win
