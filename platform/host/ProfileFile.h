// A device profile as written: an INI file of sections and keys, read with inih. Section and key names
// are folded to lower case; values are kept as written (inih trims blanks around them). A value may go
// on over continuation lines that start with a blank: they are joined to it with one blank. A key given
// twice in one section is an error, so that a forgotten line does not silently win.
//
// Overrides from the command line (--set <section>.<key>=<value>) replace or add keys after reading,
// so that a test can give its own data folder or clock factor without a profile of its own.
#pragma once

#include <map>
#include <string>

namespace platform::host {

struct ProfileFile {
    std::string path;      // as given
    std::string directory; // the folder relative values start from ("" for the working folder)
    std::map<std::string, std::map<std::string, std::string>> sections;
};

// Reads `path`; false with `error` (naming the file, and the line when inih knows it).
bool ReadProfileFile(const std::string& path, ProfileFile* profile, std::string* error);

// Applies one "<section>.<key>=<value>" override; false with `error` when it is malformed.
bool ApplyOverride(const std::string& assignment, ProfileFile* profile, std::string* error);

} // namespace platform::host
