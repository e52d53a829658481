#include "platform/tapi/DevCapsLayout.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace platform::tapi {

static_assert(sizeof(LINEDEVCAPS) == 252, "LINEDEVCAPS must match the device's TAPI 2.0 layout");
static_assert(offsetof(LINEDEVCAPS, dwLineFeatures) == 236, "the TAPI 1.3 part ends before dwLineFeatures");

DWORD FixedDevCapsSize(DWORD apiVersion) {
    if (apiVersion < TAPI_VERSION1_4) {
        return offsetof(LINEDEVCAPS, dwLineFeatures);
    }
    if (apiVersion < TAPI_VERSION2_0) {
        return offsetof(LINEDEVCAPS, dwSettableDevStatus);
    }
    return sizeof(LINEDEVCAPS);
}

LONG FillDevCaps(const DeviceInfo& info, DWORD apiVersion, LINEDEVCAPS* caps) {
    const DWORD fixed = FixedDevCapsSize(apiVersion);
    const DWORD total = caps->dwTotalSize;
    if (total < fixed) {
        return LINEERR_STRUCTURETOOSMALL;
    }

    const DWORD nameBytes =
        info.name ? static_cast<DWORD>((info.name->size() + 1) * sizeof(WCHAR)) : static_cast<DWORD>(0);
    const DWORD natural = fixed + nameBytes;
    const DWORD needed = std::max(natural, info.neededSize);

    LINEDEVCAPS c{};
    c.dwTotalSize = total;
    c.dwNeededSize = needed;
    c.dwUsedSize = fixed;
    c.dwPermanentLineID = info.permanentLineId;
    c.dwStringFormat = STRINGFORMAT_UNICODE;
    c.dwAddressModes = LINEADDRESSMODE_ADDRESSID;
    c.dwNumAddresses = info.numAddresses;
    c.dwBearerModes = LINEBEARERMODE_VOICE;
    c.dwMediaModes = info.mediaModes;
    c.dwMaxNumActiveCalls = 1;
    c.dwLineStates = LINEDEVSTATE_CONNECTED | LINEDEVSTATE_DISCONNECTED | LINEDEVSTATE_OUTOFSERVICE |
                     LINEDEVSTATE_MAINTENANCE | LINEDEVSTATE_REINIT;
    c.dwLineFeatures = LINEFEATURE_MAKECALL;

    const bool fits = total >= needed;
    if (fits) {
        c.dwUsedSize = needed;
        if (nameBytes > 0) {
            c.dwLineNameSize = nameBytes;
            c.dwLineNameOffset = fixed;
        }
        if (needed > natural) {
            c.dwDevSpecificSize = needed - natural;
            c.dwDevSpecificOffset = natural;
        }
    }

    auto* bytes = reinterpret_cast<unsigned char*>(caps);
    std::memcpy(bytes, &c, fixed);
    if (fits) {
        std::memset(bytes + fixed, 0, needed - fixed);
        if (nameBytes > 0) {
            std::memcpy(bytes + fixed, info.name->c_str(), nameBytes);
        }
    }
    return 0;
}

} // namespace platform::tapi
