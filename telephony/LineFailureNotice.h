// The notice that an alarm call could not even open its line (no usable telephony, no voice-capable
// device, the line taken). The alarm thread must not wait for anyone to read it: nobody may be at the
// phone, and the next loud sound can only call again once the alarm thread has ended. So the box is
// shown on a thread of its own, without an owner, and at most one is up at a time: further failures
// while it is up add nothing.
#pragma once

#include "platform/win/WinTypes.h"

// Shows the box "Cannot open the phone line.\nThe alarm call was not placed." (caption "Error") unless
// it is up already; returns at once.
void ReportLineFailure();

// The thread of the latest box, or nullptr when none has been shown; its handle stays valid until the
// next box is shown. For whoever must wait for the box to be gone (an orderly end, a test).
HANDLE LineFailureNoticeThread();
