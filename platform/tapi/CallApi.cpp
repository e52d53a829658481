// The line functions that place, hang up and release calls. lineMakeCall and lineDrop are asynchronous:
// they register a request, hand the work to the service and return the request identifier; the service
// answers it later with LINE_REPLY.
#include "platform/tapi/CallJournal.h"
#include "platform/tapi/DialRules.h"
#include "platform/tapi/LineRegistry.h"
#include "platform/tapi/RecordedCalls.h"
#include "platform/tapi/Tapi.h"
#include "platform/tapi/TapiNames.h"
#include "platform/win/Utf8.h"

using platform::tapi::Hex;
using platform::tapi::JournalCall;
using platform::tapi::LineRegistry;

LONG lineMakeCall(HLINE line, LPHCALL call, LPCWSTR destAddress, DWORD countryCode, const LINECALLPARAMS*) {
    const std::wstring destination = destAddress != nullptr ? destAddress : L"";
    JournalCall log("lineMakeCall",
                    "hLine=" + Hex(line) + " dest=\"" + platform::ToUtf8(destination) +
                        "\" country=" + std::to_string(countryCode),
                    destination);
    auto& registry = LineRegistry::Instance();
    auto view = registry.FindLine(line);
    if (!view) {
        return log.Return(LINEERR_INVALLINEHANDLE);
    }
    if (call == nullptr) {
        return log.Return(LINEERR_INVALPOINTER);
    }
    if (const LONG refused = platform::tapi::CheckDestination(view->service->Dialling(), destination);
        refused != 0) {
        *call = 0;
        return log.Return(refused);
    }
    auto created = registry.AddCall(line);
    if (!created) {
        return log.Return(LINEERR_INVALLINEHANDLE);
    }
    // The handle is in the caller's variable before the service can report anything about the call.
    *call = created->call;
    platform::tapi::RecordCallPlaced(line, created->call, created->request, destination);
    const LONG result = view->service->MakeCall(line, created->call, created->request, destination);
    if (result != 0) {
        platform::tapi::RecordCallRefused(created->call, result < 0 ? result : LINEERR_OPERATIONFAILED);
        registry.RemoveCall(created->call);
        registry.RemoveRequest(created->request);
        *call = 0;
        return log.Return(result < 0 ? result : LINEERR_OPERATIONFAILED);
    }
    registry.WatchConnect(created->call);
    platform::tapi::DestinationAccepted();
    return log.Return(static_cast<LONG>(created->request), "hCall=" + Hex(created->call));
}

LONG lineDrop(HCALL call, LPCSTR, DWORD) {
    JournalCall log("lineDrop", "hCall=" + Hex(call));
    auto& registry = LineRegistry::Instance();
    auto view = registry.FindCall(call);
    if (!view) {
        return log.Return(LINEERR_INVALCALLHANDLE);
    }
    platform::tapi::RecordDrop(call);
    const DWORD request = registry.AddRequest(call);
    if (request == 0) {
        return log.Return(LINEERR_INVALCALLHANDLE);
    }
    if (registry.TimedOut(call)) {
        // Already hung up by the connect timeout: the drop succeeds at once.
        registry.RequestCompleted(request, 0);
        return log.Return(static_cast<LONG>(request));
    }
    const LONG result = view->service->DropCall(call, request);
    if (result != 0) {
        registry.RemoveRequest(request);
        return log.Return(result < 0 ? result : LINEERR_OPERATIONFAILED);
    }
    return log.Return(static_cast<LONG>(request));
}

LONG lineDeallocateCall(HCALL call) {
    JournalCall log("lineDeallocateCall", "hCall=" + Hex(call));
    auto& registry = LineRegistry::Instance();
    auto view = registry.FindCall(call);
    const bool timedOut = registry.TimedOut(call);
    if (!view || !registry.RemoveCall(call)) {
        return log.Return(LINEERR_INVALCALLHANDLE);
    }
    platform::tapi::RecordDeallocate(call);
    if (!timedOut) { // the connect timeout has released it at the service already
        view->service->DeallocateCall(call);
    }
    return log.Return(0);
}
