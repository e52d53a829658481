// The python3-dbusmock logind template as the tests use it: the inhibitors it holds, and a replacement
// Inhibit that refuses.
#pragma once

#include <systemd/sd-bus.h>

#include <string>
#include <vector>

namespace dbustest {

struct HeldInhibitor {
    std::string what, who, why, mode;
};

// ListInhibitors of the logind stand-in on `bus` (empty also when it cannot be asked).
std::vector<HeldInhibitor> LogindInhibitors(sd_bus* bus);

// Replaces the stand-in's Inhibit: with `lidOnly`, only requests naming the lid switch are refused (the
// others get a descriptor); otherwise every request is refused with AccessDenied. False when the
// stand-in did not take the replacement.
bool RefuseInhibit(sd_bus* bus, bool lidOnly);

} // namespace dbustest
