// The record of the message boxes that are up, kept by MessageBox's dialog procedure for the lookups of
// MessageBoxes.h. Internal to the controls library.
#pragma once

#include "platform/controls/MessageBoxes.h"

namespace platform::controls {

void RecordMessageBox(const MessageBoxInfo& info);
void ForgetMessageBox(HWND hwnd);

} // namespace platform::controls
