// The line callback: every line and call event of the program arrives here, on the platform's
// line-event thread, one at a time. It shows the call's progress in the call window, ends the call when
// the call or the line is over, reports a reconfigured telephony service, and extends the device table
// when a device appears. It reaches the call window only through sent messages (which the alarm thread
// handles in the window's modal loop) and never holds g_telephony.lock while it waits for one.
#pragma once

#include "platform/tapi/Tapi.h"

void LineCallback(DWORD device, DWORD message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2,
                  DWORD_PTR param3);
