// The folder that stands for the device's "\Application Data": by default $XDG_DATA_HOME, or
// $HOME/.local/share when that is not set (or not absolute). The host's device profile and tests may put it
// elsewhere. The folder is created, with its parents, whenever the program asks for it.
#pragma once

#include <string>

namespace platform::fs {

// Makes `root` (an absolute path, wide) the application-data folder from now on; an empty root goes back
// to the default. Trailing separators are dropped.
void SetAppDataRoot(std::wstring root);

// The application-data folder without a trailing separator, or empty when no home folder is known.
std::wstring AppDataRoot();

} // namespace platform::fs
