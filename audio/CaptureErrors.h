// What the user is told when a wave-input call fails: one text per result code, shown in a message box
// captioned "Microphone error".
#pragma once

#include "platform/wave/WaveApi.h"

// The message text for a wave-input result code; "Microphone error" for a code without a text of its own.
LPCWSTR CaptureErrorText(MMRESULT code);

// Shows CaptureErrorText(code) in a modal message box with no owner, captioned "Microphone error", with
// MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST. Returns when the user has closed it.
void ReportCaptureError(MMRESULT code);

// The same box shown on a thread of its own, for a thread that must not wait for the user (the alarm
// thread, whose call must go out). At most one such box is up at a time: a failure while it is up adds
// nothing. Returns at once.
void ReportCaptureErrorAside(MMRESULT code);
