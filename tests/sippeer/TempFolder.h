// A private folder under the system's temporary directory (mkdtemp) for one peer's configuration,
// scenario, logs and recordings. The destructor removes it with everything in it, unless told to keep
// it so that a failed test's files can be looked at.
#pragma once

#include <filesystem>
#include <string>

namespace sippeer {

class TempFolder {
public:
    // Creates "<tmp>/<prefix>XXXXXX"; path() is empty when that failed.
    explicit TempFolder(const std::string& prefix);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void Keep(bool keep) { keep_ = keep; }

    // Writes `text` to the file `name` in the folder; false when it could not be written.
    bool Write(const std::string& name, const std::string& text) const;
    // The text of the file `name` in the folder ("" when there is none).
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path path_;
    bool keep_ = false;
};

} // namespace sippeer
