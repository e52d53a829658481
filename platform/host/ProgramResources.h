// How the program's resources reach the device. On the device they are compiled into the program's
// file; here the program's resource library (res/) defines RegisterProgramResources, which registers
// each of its dialog templates, menus, bitmaps and icons with platform::resources::Register under
// `module`. The host calls it once at start-up, before the program runs, with
// platform::resources::ProgramInstance(), the instance handle that AfxWinMain then hands to the program
// (and that FindResource with a null instance looks in). A program that does not define it does not link,
// so a forgotten resource library shows at build time rather than as a missing dialog at run time.
#pragma once

#include "platform/win/WinTypes.h"

namespace platform::host {

void RegisterProgramResources(HINSTANCE module);

} // namespace platform::host
