// How oFono's call states become the line API's call states: the mapping table of the oFono service.
//
// | oFono                                                  | call state    | disconnect mode |
// |--------------------------------------------------------|---------------|-----------------|
// | Dial answered with the new call's path                 | dialing       |                 |
// | State "dialing"                                        | dialing       |                 |
// | State "alerting" (the far end rings)                   | ring back     |                 |
// | State "active"                                         | connected     |                 |
// | State "held"                                           | on hold       |                 |
// | State "disconnected" (or CallRemoved), reason "remote" | disconnected  | normal once connected, else
// reject | | the same, reason "network"                             | disconnected  | unreachable once
// connected, else unavailable | | the same, reason "local"                               | disconnected  |
// normal          | | the same, no DisconnectReason seen                     | disconnected  | unknown | |
// "incoming", "waiting" (calls to the phone)             | not reported  |                 |
//
// A D-Bus error answering Dial answers lineMakeCall's request: org.ofono.Error.InvalidFormat with
// LINEERR_INVALADDRESS, org.ofono.Error.Busy and NotAvailable (another call, no network) with
// LINEERR_CALLUNAVAIL, anything else with LINEERR_OPERATIONFAILED.
#pragma once

#include "platform/tapi/Tapi.h"

#include <optional>
#include <string_view>

namespace platform::tapi::ofono {

// The call state for oFono's State property; none for the states not reported.
std::optional<DWORD> CallStateFor(std::string_view ofonoState);

// The disconnect mode for the last DisconnectReason ("" when none came) of a call that was or was not
// connected.
DWORD DisconnectModeFor(std::string_view reason, bool wasConnected);

// The lineMakeCall result for the D-Bus error `errorName` that answered Dial.
LONG DialErrorFor(std::string_view errorName);

} // namespace platform::tapi::ofono
