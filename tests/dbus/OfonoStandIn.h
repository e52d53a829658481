// The test's hands on python3-dbusmock's ofono template (its modem /ril_0 by default): the calls it
// holds, and the signals real oFono would send as a call progresses, a far end hangs up or the modem's
// service changes.
#pragma once

#include <systemd/sd-bus.h>

#include <string>
#include <vector>

namespace dbustest {

inline constexpr const char* kOfonoModem = "/ril_0";

struct StandInCall {
    std::string path;
    std::string number; // LineIdentification: what was dialled
};

// The stand-in's calls on `modem` (empty also when it cannot be asked).
std::vector<StandInCall> OfonoCalls(sd_bus* bus, const std::string& modem = kOfonoModem);

// PropertyChanged("State", state) and DisconnectReason(reason) of the call `path`.
bool SetOfonoCallState(sd_bus* bus, const std::string& path, const std::string& state);
bool SetOfonoDisconnectReason(sd_bus* bus, const std::string& path, const std::string& reason);
// Drops the call as oFono does when it is over: the object goes, and the modem says CallRemoved.
bool RemoveOfonoCall(sd_bus* bus, const std::string& path, const std::string& modem = kOfonoModem);
// SetProperty(name, value) on the modem's `interface` (org.ofono.Modem "Online", NetworkRegistration
// "Status"), which the stand-in announces with PropertyChanged.
bool SetOfonoProperty(sd_bus* bus, const char* interface, const char* name, bool value,
                      const std::string& modem = kOfonoModem);
bool SetOfonoProperty(sd_bus* bus, const char* interface, const char* name, const char* value,
                      const std::string& modem = kOfonoModem);

} // namespace dbustest
