// What the line layer tells the night's record about calls: each placed call with its number, every call
// state and disconnect mode the service reports, and how the call ended. The end is read from what the
// line layer sees first: a disconnect with NORMAL is the far end, with NOANSWER a timeout, with any other
// mode a failure, and so are BUSY and SPECIALINFO; a failing reply, a closed line or a line out of service is
// a failure; lineDrop on a call that nothing ended before is the program hanging up.
#pragma once

#include "platform/tapi/Tapi.h"

#include <string>

namespace platform::tapi {

void RecordCallPlaced(HLINE line, HCALL call, DWORD request, const std::wstring& number);
void RecordCallRefused(HCALL call, LONG result);
void RecordCallState(HCALL call, DWORD state, DWORD mode);
void RecordRequestCompleted(DWORD request, LONG result);
void RecordLineClosed(HLINE line);
void RecordDeviceState(DWORD state);
void RecordDrop(HCALL call);
void RecordDeallocate(HCALL call);

} // namespace platform::tapi
