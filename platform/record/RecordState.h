// Shared between the record's own files: the current recorder (null when none runs) and the call table's
// reset at every start.
#pragma once

#include "platform/record/Recorder.h"

namespace platform::record {

Recorder* Current();
void ResetCalls();

} // namespace platform::record
