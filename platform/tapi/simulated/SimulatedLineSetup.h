// Starting the simulated line in one step, as the host does when the device profile asks for it (and as
// tests of the program's telephony code may do): read the profile section's keys, build the service,
// install it behind the line API and register the automation command "line".
#pragma once

#include "platform/tapi/simulated/SimulatedLineService.h"

#include <map>
#include <memory>
#include <string>

namespace platform::tapi {

// Returns the running service, or nullptr with the reason in `error` when a key is wrong.
std::shared_ptr<SimulatedLineService> StartSimulatedLine(const std::map<std::string, std::string>& keys,
                                                         std::string* error);

} // namespace platform::tapi
