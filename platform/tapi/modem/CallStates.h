// How ModemManager's call states and reasons, its modem states and its D-Bus errors become the line
// API's call states, disconnect modes, device states and LINEERR_ codes. The values are ModemManager's
// own (ModemManager-enums.h).
//
// | ModemManager call state (reason)                   | LINE_CALLSTATE                  | mode         |
// |----------------------------------------------------|---------------------------------|--------------|
// | DIALING                                            | DIALING                         |              |
// | RINGING_OUT                                        | RINGBACK                        |              |
// | ACTIVE                                             | CONNECTED                       |              |
// | HELD                                               | ONHOLD                          |              |
// | TERMINATED (TERMINATED)                            | DISCONNECTED, then IDLE         | NORMAL       |
// | TERMINATED (REFUSED_OR_BUSY)                       | DISCONNECTED, then IDLE         | BUSY         |
// | TERMINATED (ERROR: wrong number, network error)    | DISCONNECTED, then IDLE         | UNAVAIL      |
// | TERMINATED (AUDIO_SETUP_FAILED)                    | DISCONNECTED, then IDLE         | INCOMPATIBLE |
// | TERMINATED (TRANSFERRED, DEFLECTED)                | DISCONNECTED, then IDLE         | FORWARDED    |
// | TERMINATED (any other reason)                      | DISCONNECTED, then IDLE         | UNKNOWN      |
// | TERMINATED after our own Hangup                    | IDLE                            |              |
// | UNKNOWN, RINGING_IN, WAITING (not an outgoing call) | nothing                        |              |
#pragma once

#include "platform/tapi/Tapi.h"

#include <optional>
#include <string>
#include <utility>

namespace platform::tapi::modem {

struct LineCallState {
    DWORD state;
    DWORD mode;
};

// The line call state for ModemManager's `state` with `reason`; nullopt when it reports nothing.
std::optional<LineCallState> MapCallState(int state, unsigned reason);

// True for a call state after which nothing follows (TERMINATED).
bool IsFinalCallState(int state);

// A modem carries calls while it is registered (or connected for data) and not limited to emergency
// calls; locked, disabled, searching, failed or gone modems are out of service.
bool ModemInService(int modemState, bool emergencyOnly);

// The words the line indicator shows for a modem out of service, and a detail: "No modem" (gone),
// "No voice" (no Voice interface), "Emergency calls only", "SIM locked", "Modem off" (disabled),
// "Modem failed", "No network" (enabled or searching, not registered).
std::pair<std::wstring, std::string> OutageWords(bool present, bool voice, int modemState,
                                                 bool emergencyOnly);

// The LINEERR_ code for a failed request, from the D-Bus error's text ("name: message"):
// ModemManager's Unauthorized and WrongState and a ModemManager that is not there: LINEERR_CALLUNAVAIL;
// InvalidArgs: LINEERR_INVALADDRESS; anything else: LINEERR_OPERATIONFAILED.
LONG LineErrorFor(const std::string& busError);

} // namespace platform::tapi::modem
