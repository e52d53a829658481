// Drives the real monitor program through its automation channel, the way the end-to-end tests use it:
// the program runs headless on the test device profile (generator microphone, memory volume, simulated
// line, sped-up clock) with a data folder of the test's own, and every check waits for a condition with
// a deadline instead of sleeping.
#pragma once

#include "platform/automation/client/AutomationClient.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lwe2e {

// Real milliseconds a wait may take before the test gives up: generous, for the sanitizer builds on a
// busy machine; a passing wait returns as soon as its condition holds.
inline constexpr int kPatienceMs = 20000;

// The application-data folder of one test, removed afterwards.
class DataRoot {
public:
    DataRoot();
    ~DataRoot();
    DataRoot(const DataRoot&) = delete;
    DataRoot& operator=(const DataRoot&) = delete;

    const std::filesystem::path& path() const { return root_; }
    std::filesystem::path SettingsFolder() const { return root_ / "Lullwatch"; }
    bool Exists(const std::string& file) const { return std::filesystem::exists(SettingsFolder() / file); }
    std::string Read(const std::string& file) const;
    void Write(const std::string& file, const std::string& bytes) const;

private:
    std::filesystem::path root_;
};

// One control as the channel's "controls" command describes it.
struct ControlView {
    std::string text;
    bool enabled = false;
    bool visible = false;
    std::optional<bool> checked;
    std::optional<int> pos;
    std::string rect; // "l,t,r,b" on the screen
};

// A word for a command line, quoted when it holds blanks or quotes.
std::string Word(const std::string& text);

// The words of a reply line: blanks separate them, "double quotes" (anywhere in a word) keep blanks
// inside, and \" and \\ stand for " and \. So `text="Stop - 9 sec"` is the one word `text=Stop - 9 sec`.
std::vector<std::string> ReplyWords(const std::string& line);

// The value of the word `key`=value among `words`, if there is one.
std::optional<std::string> ValueOf(const std::vector<std::string>& words, const std::string& key);

class Monitor {
public:
    // Starts the monitor on the test profile (or `profile`) with `data` as its data folder and the extra
    // profile settings given ("section.key=value"), and waits for its main window (unless told not to:
    // a box during start-up keeps it hidden; FindMainWindow then finds it once it shows).
    explicit Monitor(const DataRoot& data, const std::vector<std::string>& settings = {},
                     const std::string& profile = LULLWATCH_TEST_PROFILE, bool waitForMainWindow = true);
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    bool started() const { return !main_.empty(); }
    // Waits for the main window to show and notes its handle; false (and a failure) at the deadline.
    bool FindMainWindow();
    // The main window's handle, as the channel writes it ("0x...").
    const std::string& main() const { return main_; }

    // Sends a command; a reply other than ok fails the test (the reply is returned either way).
    platform::automation::ClientReply Do(const std::string& command);
    // Sends a command whose reply may be an error; fails the test only when no reply comes.
    platform::automation::ClientReply Try(const std::string& command);
    // The status text of a command's ok reply ("" on error).
    std::string Answer(const std::string& command);
    // "wait <ms> <condition>": true when it held in time; false fails the test unless `expectTimeout`.
    bool Wait(const std::string& condition, int ms = kPatienceMs, bool expectTimeout = false);
    // Waits for the main window's control `id` to show `text`.
    bool WaitText(int id, const std::string& text, int ms = kPatienceMs);

    std::map<int, ControlView> Controls(const std::string& window);
    ControlView Control(int id) { return Controls(main_)[id]; }
    // The first line of the journal wait for line function `function` from entry `from` on: the entry
    // ("12 4031ms lineMakeCall ...") and its number.
    std::optional<std::pair<std::uint64_t, std::string>> WaitForLineCall(const std::string& function,
                                                                         std::uint64_t from);

    // Ends the program as its "OK" soft key does; its exit code.
    std::optional<int> Quit();
    // Ends the program with SIGKILL and waits until it is gone.
    void Kill();
    // The program's process id, or -1.
    pid_t pid() const { return client_ ? client_->pid() : -1; }
    // Waits for the program to end by itself; its exit code.
    std::optional<int> WaitForExit(int ms = kPatienceMs);
    std::string Stderr() const;

private:
    std::unique_ptr<platform::automation::AutomationClient> client_;
    std::string main_;
};

} // namespace lwe2e
