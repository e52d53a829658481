// A full-screen dialog with one vertical level meter (a progress bar of range 0..5 filling from the
// bottom, 11 x 115 dialog units at 24, 0, as the monitor's main window has it), made on a window thread.
// For the tests and the benchmark of meter updates.
#pragma once

#include "WindowThread.h"

namespace testing_support {

struct MeterPanel {
    explicit MeterPanel(WindowThread& thread);

    HWND dialog = nullptr;
    HWND meter = nullptr;
    RECT meterOnScreen{}; // the meter's rectangle in screen coordinates
};

} // namespace testing_support
