// How a device's capabilities are laid out in the caller's LINEDEVCAPS buffer: the fixed part of the
// negotiated API version, then the line name (terminated wide text), then device-specific filler up to
// the size the device asks for. A buffer that holds the fixed part but not everything gets the fixed part
// with every variable part left out, and dwNeededSize tells the caller how much to offer next time.
#pragma once

#include "platform/tapi/TelephonyService.h"

namespace platform::tapi {

// Bytes of LINEDEVCAPS defined for `apiVersion` (236, 240 or 252).
DWORD FixedDevCapsSize(DWORD apiVersion);

// Fills `caps` (its dwTotalSize set by the caller) with `info`. Returns 0 or LINEERR_STRUCTURETOOSMALL.
LONG FillDevCaps(const DeviceInfo& info, DWORD apiVersion, LINEDEVCAPS* caps);

} // namespace platform::tapi
