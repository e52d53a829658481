// The wave-output volume behind waveOutGetVolume and waveOutSetVolume: one volume word, left channel
// in the low 16 bits and right in the high 16 bits, 0 (silent) to 0xFFFF (full) each. Implementations
// are thread-safe.
#pragma once

#include <string>

#include "platform/wave/WaveApi.h"

namespace platform::wave {

class OutputVolume {
public:
    virtual ~OutputVolume() = default;
    virtual MMRESULT Get(DWORD* volume) = 0;
    virtual MMRESULT Set(DWORD volume) = 0;
    virtual std::string Describe() const = 0;
};

} // namespace platform::wave
