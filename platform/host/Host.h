// The device's start: reads the command line and the device profile, loads the fonts, starts the device
// (Device.h) and runs the program on the calling thread, which becomes the program's window thread,
// through AfxWinMain. Returns the process's exit code: the program's, or 1 when the device could not
// start and 2 for a bad command line or profile (with a message on standard error).
#pragma once

namespace platform::host {

int Run(int argc, char** argv);

} // namespace platform::host
