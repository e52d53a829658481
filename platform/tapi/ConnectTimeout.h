// How long a call may take to reach LINECALLSTATE_CONNECTED. A call that has not connected by then is
// ended by the line layer itself, whatever service carries it: the application gets LINE_CALLSTATE
// DISCONNECTED with LINEDISCONNECTMODE_NOANSWER and the service hangs up. A call that has connected is
// never ended by the layer. The host sets the limit from the device profile's [line] connect_timeout
// before the program starts; it counts on the device clock from lineMakeCall.
#pragma once

#include <cstdint>

namespace platform::tapi {

inline constexpr std::uint64_t kDefaultConnectTimeoutMs = 90000;

// 0: no limit. Applies to calls placed afterwards.
void SetConnectTimeoutMs(std::uint64_t deviceMs);
std::uint64_t ConnectTimeoutMs();

} // namespace platform::tapi
