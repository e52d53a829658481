// The telephony service the device runs. The host picks one from the device profile and installs it at
// start-up, before the program initialises the line API; the screen shows its label in the status line.
// Applications keep the service they initialised with: installing another one later only affects the
// lineInitialize calls that follow.
#pragma once

#include "platform/tapi/TelephonyService.h"

#include <memory>
#include <string>

namespace platform::tapi {

// Installs `service` (nullptr: none; lineInitialize then answers LINEERR_NODRIVER) and attaches it to
// the line API's event routing.
void InstallService(std::shared_ptr<TelephonyService> service);

std::shared_ptr<TelephonyService> InstalledService();

// The installed service's label for the status line ("Simulated line"), empty when none is installed.
std::wstring LineServiceLabel();

} // namespace platform::tapi
