// The sound device's configuration, read from the device profile's sound section. The host reads the
// profile and hands this section's keys to ParseWaveConfig; every key is optional.
//
//   source          generator (default) | recording | alsa
//                   where the microphone's sound comes from: the generator, a sound file, or a real
//                   ALSA capture device. The generator and the recording are paced by the device
//                   clock; ALSA by the device itself.
//   generator       silence (default) | tone <hz> <level> | noise <level>
//                   what the generator plays at start (source generator); level is the peak excursion
//                   from silence, 0..127; hz above 0 and below 4000
//   recording       a sound file in any common format (WAV, FLAC, Ogg, ...), converted to 8000 Hz
//                   unsigned 8-bit mono; required with source recording; a relative path is taken
//                   from the profile's folder
//   loop            no (default) | yes: play the recording over and over; otherwise once, then silence
//   alsa_device     the ALSA capture device for source alsa (default "default"), for example
//                   "pulse:lw.monitor" or "hw:1,0"
//   volume          memory (default) | alsa: where waveOutGetVolume and waveOutSetVolume act
//   volume_initial  the memory volume's starting word (default 0xFFFFFFFF), decimal or 0x hex
//   mixer_card      the ALSA mixer card for volume alsa (default "default")
//   mixer_control   the ALSA simple-mixer playback control for volume alsa (default "Master")
//   noise_seed      the generator's noise seed (default 1); the same seed gives the same noise
//   fail            fault injection from the start: rules separated by ';', each
//                   "<call> <code> [once|always|<n>]" (see FaultPlan.h), for example
//                   "open MMSYSERR_ALLOCATED once; add 6"
//
// Yes/no values also accept true/false, on/off and 1/0. An unknown key is an error, so that a
// misspelt key does not pass unnoticed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/wave/FaultPlan.h"
#include "platform/wave/SoundScene.h"

namespace platform::wave {

struct WaveConfig {
    enum class Source { Generator, Recording, Alsa };
    enum class Volume { Memory, Alsa };

    Source source = Source::Generator;
    SoundScene generator;      // kind, hz and level of the generator's first sound
    std::string recordingPath; // source recording
    bool loop = false;
    std::string alsaDevice = "default";
    Volume volume = Volume::Memory;
    DWORD volumeInitial = 0xFFFFFFFF;
    std::string mixerCard = "default";
    std::string mixerControl = "Master";
    std::uint64_t noiseSeed = 1;
    std::vector<FaultRule> faults;
};

// Fills `config` from the section's `keys`; a key not given keeps its default. `profileDir` is the folder
// that a relative recording path starts from ("" for the current folder). On a bad key or value returns false
// with `error` naming the key, the value and what was expected.
bool ParseWaveConfig(const std::map<std::string, std::string>& keys, const std::string& profileDir,
                     WaveConfig* config, std::string* error);

} // namespace platform::wave
