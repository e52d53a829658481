// The resources of modules. On the device a module's resources are compiled into its file; here the
// program's resource code registers each one at start-up: its module, type, name and data. The data is
// not copied and must stay valid for the life of the process (it is the program's static data).
//
// Types and names are integer ids (MAKEINTRESOURCE) or strings; strings are copied and compared
// without regard to case, and "#123" stands for the id 123, as on the device. What the data holds
// depends on the type: for RT_DIALOG a DLGTEMPLATE, for RT_BITMAP a BMP file image, for RT_GROUP_ICON
// anything (icons are not shown). Registering the same type and name again replaces the entry.
#pragma once

#include "platform/win/WinTypes.h"

namespace platform::resources {

void Register(HINSTANCE module, LPCWSTR type, LPCWSTR name, const void* data, DWORD size);

// The program's module: the instance handle the host hands to the program, under which the program's
// resources are registered. FindResource with a null instance looks there.
HINSTANCE ProgramInstance();

} // namespace platform::resources
