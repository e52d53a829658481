#include "platform/wave/MemoryVolume.h"

namespace platform::wave {

MMRESULT MemoryVolume::Get(DWORD* volume) {
    *volume = volume_.load();
    return MMSYSERR_NOERROR;
}

MMRESULT MemoryVolume::Set(DWORD volume) {
    volume_.store(volume);
    return MMSYSERR_NOERROR;
}

std::string MemoryVolume::Describe() const {
    return "memory";
}

} // namespace platform::wave
