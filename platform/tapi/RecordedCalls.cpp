#include "platform/tapi/RecordedCalls.h"

#include "platform/record/Record.h"
#include "platform/tapi/TapiNames.h"

namespace platform::tapi {

using record::CallEnd;

void RecordCallPlaced(HLINE line, HCALL call, DWORD request, const std::wstring& number) {
    record::CallPlaced(line, call, request, number);
}

void RecordCallRefused(HCALL call, LONG result) {
    record::CallEnded(call, CallEnd::Failure, TapiResultText(result));
    record::CallReleased(call);
}

void RecordCallState(HCALL call, DWORD state, DWORD mode) {
    const bool disconnected = state == LINECALLSTATE_DISCONNECTED;
    const std::string modeName = disconnected ? TapiValueName(TapiNameFamily::DisconnectMode, mode)
                                 : mode != 0  ? Hex(mode)
                                              : std::string();
    record::CallState(call, TapiValueName(TapiNameFamily::CallState, state), modeName);
    if (disconnected) {
        const CallEnd end = mode == LINEDISCONNECTMODE_NORMAL     ? CallEnd::FarEnd
                            : mode == LINEDISCONNECTMODE_NOANSWER ? CallEnd::Timeout
                                                                  : CallEnd::Failure;
        record::CallEnded(call, end, modeName);
    } else if (state == LINECALLSTATE_BUSY || state == LINECALLSTATE_SPECIALINFO) {
        record::CallEnded(call, CallEnd::Failure, TapiValueName(TapiNameFamily::CallState, state));
    } else if (state == LINECALLSTATE_IDLE) {
        record::CallEnded(call, CallEnd::FarEnd, "LINECALLSTATE_IDLE");
    }
}

void RecordRequestCompleted(DWORD request, LONG result) {
    if (result != 0) {
        record::CallRequestFailed(request, TapiResultText(result));
    }
}

void RecordLineClosed(HLINE line) {
    record::LineFailed(line, "LINE_CLOSE");
}

void RecordDeviceState(DWORD state) {
    if (state == LINEDEVSTATE_DISCONNECTED || state == LINEDEVSTATE_OUTOFSERVICE ||
        state == LINEDEVSTATE_MAINTENANCE) {
        record::LineFailed(0, TapiValueName(TapiNameFamily::DevState, state));
    }
}

void RecordDrop(HCALL call) {
    record::CallEnded(call, CallEnd::HangUp);
}

void RecordDeallocate(HCALL call) {
    record::CallReleased(call);
}

} // namespace platform::tapi
