// What the program's in-process tests share: the program's resources registered as the host registers
// them, a private data folder, a window thread of the test's own, waits with a deadline, the desktop's
// input path, and a way to run code on a window thread while its modal loop runs.
#pragma once

#include "platform/afx/Afx.h"
#include "platform/controls/ControlClasses.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/win/Desktop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace lwapp {

using namespace std::chrono_literals;

inline constexpr auto kDeadline = 10s;

// Registers the program's resources once and makes them the framework's resource instance.
void UseProgramResources();

// A fresh, empty application-data folder for the test, removed afterwards.
class DataFolder {
public:
    DataFolder();
    ~DataFolder();
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    // The program's settings folder inside it, and a file there.
    std::filesystem::path SettingsFolder() const { return root_ / "Lullwatch"; }
    std::filesystem::path File(const std::string& name) const { return SettingsFolder() / name; }
    // The bytes of a settings file; nullopt-like empty string with exists() to tell an empty file apart.
    bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }
    std::string Read(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path root_;
};

// Runs `body` on a thread of its own; the destructor joins it.
class UiThread {
public:
    explicit UiThread(std::function<void()> body) : thread_(std::move(body)) {}
    ~UiThread() { Join(); }
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::thread thread_;
};

inline bool Eventually(const std::function<bool()>& condition) {
    return platform::desktop::WaitUntil(condition, kDeadline);
}

// The topmost top-level window with that caption, once there is one (nullptr after the deadline); unless
// `visible` is false, only a visible one counts.
HWND WaitForWindow(const std::wstring& caption, bool visible = true);
// The topmost message box, once one is up (nullptr after the deadline).
HWND WaitForMessageBox();
// The message boxes up now.
int MessageBoxCount();

// Clicks the middle of a window (a control) through the desktop's input path.
void Click(HWND hwnd);

std::wstring WindowText(HWND hwnd);

// A hidden helper window on the thread that makes it: Run (from any other thread) runs a function on that
// thread, inside whatever message loop it runs then, and waits for it.
class ThreadRunner {
public:
    ThreadRunner(); // on the window thread
    ~ThreadRunner();
    ThreadRunner(const ThreadRunner&) = delete;
    ThreadRunner& operator=(const ThreadRunner&) = delete;

    void Run(const std::function<void()>& function) const;
    // Queues `function` to run on that thread and returns at once, for code that opens a modal window.
    void Post(std::function<void()> function) const;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

} // namespace lwapp
