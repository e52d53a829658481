// The line functions that start and end an application's use of the line devices and open and close
// lines. Each checks its arguments, records itself in the journal and asks the application's service.
#include "platform/tapi/CallJournal.h"
#include "platform/tapi/DevCapsLayout.h"
#include "platform/tapi/InstalledService.h"
#include "platform/tapi/LineHealth.h"
#include "platform/tapi/LineRegistry.h"
#include "platform/tapi/Tapi.h"
#include "platform/tapi/TapiNames.h"
#include "platform/win/Utf8.h"

#include <algorithm>

using platform::tapi::DeviceInfo;
using platform::tapi::Hex;
using platform::tapi::JournalCall;
using platform::tapi::LineRegistry;

namespace {

constexpr DWORD kVersions[] = {TAPI_VERSION1_0, TAPI_VERSION1_4, TAPI_VERSION2_0};

bool VersionOffered(DWORD version) {
    return version >= TAPI_VERSION1_0 && version <= TAPI_VERSION2_0;
}

bool ValidPrivileges(DWORD privileges) {
    if (privileges == LINECALLPRIVILEGE_NONE) {
        return true;
    }
    const DWORD known = LINECALLPRIVILEGE_MONITOR | LINECALLPRIVILEGE_OWNER;
    return privileges != 0 && (privileges & ~known) == 0;
}

// The usual checks of a function that names a device: application, device number, API version.
LONG CheckDevice(const std::shared_ptr<platform::tapi::TelephonyService>& service, DWORD deviceId) {
    if (!service) {
        return LINEERR_INVALAPPHANDLE;
    }
    if (deviceId >= service->DeviceCount()) {
        return LINEERR_BADDEVICEID;
    }
    return 0;
}

} // namespace

LONG lineInitialize(LPHLINEAPP lineApp, HINSTANCE, LINECALLBACK callback, LPCWSTR appName, DWORD* numDevs) {
    const std::wstring name = appName != nullptr ? appName : L"";
    JournalCall log("lineInitialize", "app=\"" + platform::ToUtf8(name) + "\"", name);
    if (lineApp == nullptr || numDevs == nullptr || callback == nullptr) {
        return log.Return(LINEERR_INVALPOINTER);
    }
    auto service = platform::tapi::InstalledService();
    if (!service) {
        platform::tapi::health::InitializeFailed(LINEERR_NODRIVER);
        return log.Return(LINEERR_NODRIVER);
    }
    DWORD count = 0;
    const LONG result = service->Initialize(&count);
    if (result != 0) {
        platform::tapi::health::InitializeFailed(result);
        return log.Return(result);
    }
    platform::tapi::health::Initialized(*service, count);
    const HLINEAPP app = LineRegistry::Instance().AddApp(callback, service);
    *lineApp = app;
    *numDevs = count;
    return log.Return(0, "hLineApp=" + Hex(app) + " devices=" + std::to_string(count));
}

LONG lineShutdown(HLINEAPP lineApp) {
    JournalCall log("lineShutdown", "hLineApp=" + Hex(lineApp));
    auto removed = LineRegistry::Instance().RemoveApp(lineApp);
    if (!removed) {
        return log.Return(LINEERR_INVALAPPHANDLE);
    }
    // Stop the events first: from here on nothing reaches the callback (a callback that is running is
    // waited for, unless this is it).
    removed->events->Stop();
    for (HLINE line : removed->lines) {
        removed->service->CloseLine(line);
    }
    removed->service->Shutdown();
    return log.Return(0);
}

LONG lineNegotiateAPIVersion(HLINEAPP lineApp, DWORD deviceId, DWORD apiLowVersion, DWORD apiHighVersion,
                             DWORD* apiVersion, LINEEXTENSIONID* extensionId) {
    JournalCall log("lineNegotiateAPIVersion",
                    "hLineApp=" + Hex(lineApp) + " device=" + std::to_string(deviceId) +
                        " low=" + Hex(apiLowVersion) + " high=" + Hex(apiHighVersion));
    auto service = LineRegistry::Instance().ServiceOf(lineApp);
    if (const LONG check = CheckDevice(service, deviceId); check != 0) {
        return log.Return(check);
    }
    if (apiVersion == nullptr) {
        return log.Return(LINEERR_INVALPOINTER);
    }
    DWORD lowest = 0;
    DWORD highest = 0;
    for (DWORD v : kVersions) {
        if (v >= apiLowVersion && v <= apiHighVersion) {
            lowest = lowest == 0 ? v : lowest;
            highest = v;
        }
    }
    if (highest == 0) {
        return log.Return(LINEERR_INCOMPATIBLEAPIVERSION);
    }
    DWORD version = 0;
    if (const LONG result = service->NegotiateVersion(deviceId, lowest, highest, &version); result != 0) {
        return log.Return(result);
    }
    *apiVersion = version;
    if (extensionId != nullptr) {
        *extensionId = LINEEXTENSIONID{};
    }
    return log.Return(0, "version=" + Hex(version));
}

LONG lineGetDevCaps(HLINEAPP lineApp, DWORD deviceId, DWORD apiVersion, DWORD extVersion,
                    LPLINEDEVCAPS lineDevCaps) {
    JournalCall log(
        "lineGetDevCaps",
        "hLineApp=" + Hex(lineApp) + " device=" + std::to_string(deviceId) + " version=" + Hex(apiVersion) +
            (lineDevCaps != nullptr ? " total=" + std::to_string(lineDevCaps->dwTotalSize) : std::string()));
    auto service = LineRegistry::Instance().ServiceOf(lineApp);
    if (const LONG check = CheckDevice(service, deviceId); check != 0) {
        return log.Return(check);
    }
    if (lineDevCaps == nullptr) {
        return log.Return(LINEERR_INVALPOINTER);
    }
    if (!VersionOffered(apiVersion)) {
        return log.Return(LINEERR_INCOMPATIBLEAPIVERSION);
    }
    if (extVersion != 0) {
        return log.Return(LINEERR_INCOMPATIBLEEXTVERSION);
    }
    DeviceInfo info;
    if (const LONG result = service->DescribeDevice(deviceId, &info); result != 0) {
        return log.Return(result);
    }
    const LONG result = platform::tapi::FillDevCaps(info, apiVersion, lineDevCaps);
    if (result != 0) {
        return log.Return(result);
    }
    return log.Return(0, "needed=" + std::to_string(lineDevCaps->dwNeededSize) +
                             " used=" + std::to_string(lineDevCaps->dwUsedSize));
}

namespace {

LONG OpenLine(HLINEAPP lineApp, DWORD deviceId, LPHLINE line, DWORD apiVersion, DWORD extVersion,
              DWORD_PTR callbackInstance, DWORD privileges, DWORD mediaModes) {
    JournalCall log("lineOpen", "hLineApp=" + Hex(lineApp) + " device=" + std::to_string(deviceId) +
                                    " version=" + Hex(apiVersion) + " privileges=" + Hex(privileges) +
                                    " media=" + Hex(mediaModes));
    auto& registry = LineRegistry::Instance();
    auto service = registry.ServiceOf(lineApp);
    if (const LONG check = CheckDevice(service, deviceId); check != 0) {
        return log.Return(check);
    }
    if (line == nullptr) {
        return log.Return(LINEERR_INVALPOINTER);
    }
    if (!VersionOffered(apiVersion)) {
        return log.Return(LINEERR_INCOMPATIBLEAPIVERSION);
    }
    if (extVersion != 0) {
        return log.Return(LINEERR_INCOMPATIBLEEXTVERSION);
    }
    if (!ValidPrivileges(privileges)) {
        return log.Return(LINEERR_INVALPRIVSELECT);
    }
    if ((privileges & LINECALLPRIVILEGE_OWNER) != 0 && mediaModes == 0) {
        return log.Return(LINEERR_INVALMEDIAMODE);
    }
    const HLINE handle = registry.AddLine(lineApp, deviceId, callbackInstance);
    if (handle == 0) {
        return log.Return(LINEERR_INVALAPPHANDLE);
    }
    if (const LONG result = service->OpenLine(deviceId, handle); result != 0) {
        registry.RemoveLine(handle);
        return log.Return(result);
    }
    *line = handle;
    return log.Return(0, "hLine=" + Hex(handle));
}

} // namespace

// Every outcome also tells the Line indicator whether the line can be opened.
LONG lineOpen(HLINEAPP lineApp, DWORD deviceId, LPHLINE line, DWORD apiVersion, DWORD extVersion,
              DWORD_PTR callbackInstance, DWORD privileges, DWORD mediaModes, const LINECALLPARAMS*) {
    const LONG result =
        OpenLine(lineApp, deviceId, line, apiVersion, extVersion, callbackInstance, privileges, mediaModes);
    if (result == 0) {
        platform::tapi::health::LineOpened(deviceId);
    } else {
        platform::tapi::health::OpenFailed(deviceId, result);
    }
    return result;
}

LONG lineClose(HLINE line) {
    JournalCall log("lineClose", "hLine=" + Hex(line));
    auto& registry = LineRegistry::Instance();
    auto view = registry.FindLine(line);
    if (!view || !registry.RemoveLine(line)) {
        return log.Return(LINEERR_INVALLINEHANDLE);
    }
    view->service->CloseLine(line);
    return log.Return(0);
}
