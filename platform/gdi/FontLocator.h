// Finding the DejaVu Sans font files (Debian package fonts-dejavu-core). Each file is looked for first
// at its usual fixed path, then by name anywhere below the usual font folders.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform::gdi {

struct FontFiles {
    std::string regular; // DejaVuSans.ttf
    std::string bold;    // DejaVuSans-Bold.ttf
};

// The first of `fixedPaths` that is a regular file, else the first file named `fileName` found below
// `searchRoots` (in order, recursively); nothing if neither finds one.
std::optional<std::string> FindFontFile(const std::string& fileName,
                                        const std::vector<std::string>& fixedPaths,
                                        const std::vector<std::string>& searchRoots);

// Both DejaVu Sans files; throws std::runtime_error naming what is missing, where it was looked for and
// the package that provides it.
FontFiles LocateDejaVuSans();

} // namespace platform::gdi
