// An output volume that is only a number: for tests and demos, where the program's muting during a
// session should be visible (through the automation channel) but no real mixer be touched.
#pragma once

#include <atomic>

#include "platform/wave/OutputVolume.h"

namespace platform::wave {

class MemoryVolume : public OutputVolume {
public:
    explicit MemoryVolume(DWORD initial) : volume_(initial) {}
    MMRESULT Get(DWORD* volume) override;
    MMRESULT Set(DWORD volume) override;
    std::string Describe() const override;

private:
    std::atomic<DWORD> volume_;
};

} // namespace platform::wave
