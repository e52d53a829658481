// Whether an alarm call could go out right now, as the line API sees it, kept in the status table's Line
// indicator. The line functions and the services' reports feed it; nothing else needs to: every service
// that reports its device states through ServiceEvents gets the indicator for free.
//
// The indicator is raised, in this order of importance, when
// - the latest lineInitialize failed ("No line", detail the LINEERR_ name), found no line device, or
//   found none that carries interactive voice;
// - the line in use is out of service, disconnected or in maintenance (LINE_LINEDEVSTATE, also as a
//   REINIT that translates to one), in the service's own words when it gave some ("Not registered");
// - the latest lineOpen failed ("Line cannot be opened");
// - lineMakeCall refused the number itself (an emergency number, text the service cannot dial), until a
//   call is accepted.
// Each cause ends by itself: a lineInitialize that finds a voice device, LINEDEVSTATE_INSERVICE or
// _CONNECTED for the device, a lineOpen that works. The line in use is the device of the latest lineOpen,
// or until there is one the first voice-capable device, which is the one the program chooses.
#pragma once

#include "platform/tapi/TelephonyService.h"

#include <string>

namespace platform::tapi::health {

// A new service was installed: every cause is forgotten and the indicator cleared.
void Reset();

// lineInitialize failed with `result`.
void InitializeFailed(LONG result);
// lineInitialize worked and found `deviceCount` devices of `service`, which is asked which carry voice.
void Initialized(TelephonyService& service, DWORD deviceCount);

void LineOpened(DWORD deviceId);
void OpenFailed(DWORD deviceId, LONG result);

// A LINE_LINEDEVSTATE report of a service, before its translation (REINIT with param2 LINE_LINEDEVSTATE
// counts as the state in param3).
void DeviceStateChanged(DWORD deviceId, DWORD state, DWORD param2, DWORD param3);

// The service's words for the device's next (or current) loss of service.
void OutageReason(DWORD deviceId, std::wstring text, std::string detail);

// lineMakeCall refused the number with these words (DialRules.h); a later accepted call ends it.
void CallRefused(std::wstring text, std::string detail);
void CallAccepted();

} // namespace platform::tapi::health
