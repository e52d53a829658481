// The output volume as an ALSA simple-mixer playback control (by default "Master" on the card
// "default"). The mixer is opened for each call, so a sound server that restarts in between does not
// matter. Each 16-bit half of the volume word maps linearly onto the control's range, rounding to the
// nearest step, so a word read and written back leaves the control as it was. A mono control takes
// the left half and reports its value in both halves. Failures: MMSYSERR_NODRIVER when the card or the
// control cannot be found, MMSYSERR_ERROR when the mixer refuses the value.
#pragma once

#include <string>

#include "platform/wave/OutputVolume.h"

namespace platform::wave {

class AlsaMixerVolume : public OutputVolume {
public:
    AlsaMixerVolume(std::string card, std::string control);
    MMRESULT Get(DWORD* volume) override;
    MMRESULT Set(DWORD volume) override;
    std::string Describe() const override;

private:
    const std::string card_;
    const std::string control_;
};

} // namespace platform::wave
