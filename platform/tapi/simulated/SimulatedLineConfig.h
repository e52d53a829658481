// How the simulated telephony service is set up, read from the keys of the device profile's line
// section (every key is optional):
//
//   devices = <n>                   line devices, 0 to 64 (default 1); 0: lineInitialize finds none
//   device.<i>.media = <modes>      media modes of device <i> (0-based), names joined with "|":
//                                   voice (interactive voice), data, automatedvoice, g3fax ..., none,
//                                   or a number (default voice)
//   device.<i>.name = <text>|none   line name (default "Simulated line"); none: no name reported
//   device.<i>.caps-size = <bytes>  capability size the device asks lineGetDevCaps for (default: what
//                                   its fields take; a larger value pads, e.g. 400 to exceed 292)
//   device.<i>.negotiate = ok|fail  fail: lineNegotiateAPIVersion answers LINEERR_INCOMPATIBLEAPIVERSION
//   init.reinit = never|always|<ms> lineInitialize answers LINEERR_REINIT: never (default), always, or
//                                   until <ms> device milliseconds after the first attempt
//   init.error = <code>             after the REINIT period lineInitialize answers this LINEERR_ code
//                                   (a name such as nomem or a number) instead of succeeding
//   call-script = <script>          what follows lineMakeCall (default "answer-then-hangup 30"); the
//                                   presets and step lists of CallScript.h
//   service = ...                   the host's choice of telephony service; not read here
#pragma once

#include "platform/tapi/simulated/CallScript.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform::tapi {

struct SimulatedDevice {
    DWORD mediaModes = LINEMEDIAMODE_INTERACTIVEVOICE;
    std::optional<std::wstring> name = std::wstring(L"Simulated line");
    DWORD capsSize = 0; // 0: just what the fields take
    bool negotiationFails = false;
};

struct SimulatedLineConfig {
    std::vector<SimulatedDevice> devices = std::vector<SimulatedDevice>(1);
    bool reinitAlways = false;
    std::uint64_t reinitMs = 0; // LINEERR_REINIT until this long after the first lineInitialize
    LONG initError = 0;
    CallScript script = DefaultCallScript();
};

// Reads the profile section's keys; on failure returns false with a text naming the key and the problem.
bool ParseSimulatedLineConfig(const std::map<std::string, std::string>& keys, SimulatedLineConfig* config,
                              std::string* error);

} // namespace platform::tapi
