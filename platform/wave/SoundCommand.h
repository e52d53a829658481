// The automation channel's command "sound": switches the simulated microphone's sound, injects wave
// faults and reads the output volume. Answers are one line unless noted.
//
//   sound                          same as "sound level"
//   sound level                    what the microphone hears now: "silence", "tone <hz> <level>",
//                                  "noise <level>", "play "<file>" [loop] at <s> of <s> s" or
//                                  "alsa "<device>" (the real microphone)", then for the simulated
//                                  sources "; excursion <n>": the mean upward excursion above silence
//                                  of the last second (its sound level at factor 1, without noise gate)
//   sound silence                  the generator falls silent
//   sound tone <hz> <level>        a sine tone, hz above 0 and below 4000, peak excursion 0..127
//   sound noise <level>            white noise spread evenly over 128 - level .. 128 + level
//   sound play <file> [loop]       a sound file (any common format; a relative path from the current
//                                  folder), once (then silence) or looped
//   sound fail <call> <code> [once|always|<n>]
//                                  the next (once), the next <n>, or every (always, the default) such
//                                  call fails with <code>; calls and codes as in FaultPlan.h
//   sound fail clear [<call>]      removes every fault, or that call's
//   sound fail                     lists the faults in force, one per line, or "none"
//   sound volume                   the output volume word, "0x%08X"
//   sound volume <word>            sets the output volume word (decimal or 0x hex)
//   sound state                    the input device: "closed", or "open, " then recording, stopped or
//                                  failed (<why>), ", <n> buffers queued", for a queued buffer
//                                  " (<k> of <size> bytes recorded)", and "; " and the source
//                                  ("simulated microphone", or "alsa "<device>" (overruns <n>)")
//
// A switch of the sound takes effect at once, also for a device that is recording. The simulated
// sounds need source generator or recording; with source alsa they are refused.
#pragma once

#include <string>
#include <vector>

#include "platform/automation/DeviceCommands.h"

namespace platform::wave {

// Runs "sound" with the words after it.
platform::automation::CommandResult RunSoundCommand(const std::vector<std::string>& args);

// Registers RunSoundCommand as "sound" with the automation channel.
void RegisterSoundCommand();

} // namespace platform::wave
