// A fixture that gives each test a fresh, empty application-data folder, removed afterwards, and reads and
// writes the raw bytes of files in the settings folder under it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class DataRootTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The settings folder, as a Linux path (it does not exist until a test or the store makes it).
    std::string Folder() const { return m_root + "/Lullwatch"; }
    std::string Root() const { return m_root; }
    // Creates the settings folder and writes `bytes` as the whole file `name` in it.
    void WriteFile(const std::string& name, std::string_view bytes) const;
    // The bytes of the file `name` in the settings folder; nothing when it does not exist.
    std::optional<std::string> ReadFile(const std::string& name) const;
    // The names in the settings folder, sorted.
    std::vector<std::string> FolderEntries() const;
    // Writes all five files with the values that LoadsOldValues expects.
    void WriteOldValues() const;

private:
    std::string m_root;
};

// Saves other values than WriteOldValues into all five files.
void SaveNewValues();
// Whether the store loads exactly the values that WriteOldValues wrote.
bool LoadsOldValues();

// Runs `body` in a child process and returns its exit status (or 128 + signal). With `unprivileged`, the
// child gives up root first so that file permissions apply to it; with `fileSizeLimit` above 0, no file
// can grow past that many bytes in the child (a full medium).
int RunInChild(const std::function<int()>& body, bool unprivileged, long fileSizeLimit = 0);
