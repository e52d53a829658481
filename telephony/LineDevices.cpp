#include "telephony/LineDevices.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

constexpr DWORD kLowestApiVersion = 0x00010003;  // TAPI 1.3
constexpr DWORD kHighestApiVersion = 0x00020000; // TAPI 2.0
constexpr DWORD kFirstCapsSize = 292;
constexpr std::size_t kNameChars = 256;

// Fetches the capabilities into a buffer that holds all of them, growing it to the size the device asks
// for. Returns 0 with *caps set (to be released with free), or a LINEERR_ code.
LONG FetchDevCaps(DWORD device, DWORD apiVersion, LINEDEVCAPS** caps) {
    DWORD size = kFirstCapsSize;
    for (;;) {
        auto* buffer = static_cast<LINEDEVCAPS*>(std::calloc(1, size));
        if (buffer == nullptr) {
            return LINEERR_NOMEM;
        }
        buffer->dwTotalSize = size;
        const LONG result = lineGetDevCaps(g_telephony.hLineApp, device, apiVersion, 0, buffer);
        if (result != 0) {
            std::free(buffer);
            return result;
        }
        if (buffer->dwNeededSize <= buffer->dwTotalSize) {
            *caps = buffer;
            return 0;
        }
        size = buffer->dwNeededSize;
        std::free(buffer);
    }
}

// Copies the terminated line name that lies in the capabilities into `name` (kNameChars, zero-filled),
// cut to kNameChars - 1 characters and never read beyond the buffer. False when the device reports none.
bool CopyLineName(const LINEDEVCAPS* caps, wchar_t* name) {
    if (caps->dwLineNameSize == 0 || caps->dwLineNameOffset >= caps->dwTotalSize) {
        return false;
    }
    const DWORD bytes = std::min(caps->dwLineNameSize, caps->dwTotalSize - caps->dwLineNameOffset);
    const std::size_t chars = std::min<std::size_t>(bytes / sizeof(wchar_t), kNameChars - 1);
    const auto* source = reinterpret_cast<const unsigned char*>(caps) + caps->dwLineNameOffset;
    for (std::size_t i = 0; i < chars; ++i) {
        wchar_t ch;
        std::memcpy(&ch, source + i * sizeof(wchar_t), sizeof ch); // the offset need not be aligned
        if (ch == L'\0') {
            break;
        }
        name[i] = ch;
    }
    return true;
}

} // namespace

LONG QueryLineDevice(DWORD device, LineInfo* record) {
    const LONG negotiated = lineNegotiateAPIVersion(g_telephony.hLineApp, device, kLowestApiVersion,
                                                    kHighestApiVersion, &record->apiVersion, nullptr);
    if (negotiated != 0) {
        return negotiated;
    }
    LINEDEVCAPS* caps = nullptr;
    if (const LONG fetched = FetchDevCaps(device, record->apiVersion, &caps); fetched != 0) {
        return fetched;
    }
    record->permanentLineId = caps->dwPermanentLineID;
    record->numAddresses = caps->dwNumAddresses;
    record->voiceCapable = caps->dwMediaModes & LINEMEDIAMODE_INTERACTIVEVOICE;

    auto* name = static_cast<wchar_t*>(std::calloc(kNameChars, sizeof(wchar_t)));
    if (name == nullptr) {
        std::free(caps);
        return LINEERR_NOMEM;
    }
    if (!CopyLineName(caps, name)) {
        std::swprintf(name, kNameChars, L"Line %d", static_cast<int>(device));
    }
    std::memcpy(record->lineName, name, sizeof record->lineName);
    std::free(name);
    std::free(caps);
    return 0;
}

void AddLineDevice(DWORD device) {
    std::lock_guard guard(g_telephony.lock);
    if (g_telephony.hLineApp == 0) {
        // Shut down (or not started): a table made now would outlive the shutdown that frees it.
        return;
    }
    if (device < g_telephony.lineDeviceCount || device == kNoDevice) {
        return; // known already, or a number that no count can hold
    }
    g_telephony.lineDeviceCount = device + 1;
    auto* table = static_cast<LineInfo*>(std::calloc(std::size_t{device} + 1, sizeof(LineInfo)));
    if (table == nullptr) {
        return; // the count stays raised and the old table stays
    }
    const DWORD kept = std::min(g_telephony.deviceTableSize, device);
    if (kept > 0) {
        std::memcpy(table, g_telephony.deviceTable, kept * sizeof(LineInfo));
    }
    QueryLineDevice(device, &table[device]);
    std::free(g_telephony.deviceTable);
    g_telephony.deviceTable = table;
    g_telephony.deviceTableSize = device + 1;
}
