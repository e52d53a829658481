// Windows, dialogs and threads for the window-core tests.
//
// A test window has a name (used in the message log) and an optional handler that may answer a message
// (returning a value) or leave it to DefWindowProc (returning nullopt). A test dialog works the same way
// through its dialog procedure. UiThread runs a body on a thread of its own; Pump and RunMessageLoop are
// the message loops the bodies use.
#pragma once

#include "MessageLog.h"

#include "platform/win/Clock.h"
#include "platform/win/WinApi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace lwtest {

using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

// A top-level or child window of the test class. rect is x, y, width, height.
HWND MakeWindow(const std::string& name, DWORD style, HWND parent = nullptr, RECT rect = {0, 26, 240, 268},
                Handler handler = nullptr, int id = 0, DWORD exStyle = 0, HBRUSH background = nullptr);
// The name a test window was made with ("" when none).
std::string NameOf(HWND hwnd);

// What a test dialog does: its name for the log and a handler for its dialog procedure (which answers
// with a value for a message it handled, nullopt to leave it to the dialog manager).
struct DialogScript {
    std::string name;
    std::function<std::optional<INT_PTR>(HWND, UINT, WPARAM, LPARAM)> handler;
};
// The dialog procedure of test dialogs: the init value of the dialog is its DialogScript*.
INT_PTR TestDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// DialogBoxIndirectParam with a script (the script must outlive the dialog).
INT_PTR RunDialog(const DLGTEMPLATE& tmpl, HWND parent, DialogScript& script);

// Handles everything waiting on this thread's queue, paint and due timers included, without blocking.
void Pump();
// GetMessage loop until WM_QUIT, routing dialog keys through IsDialogMessage.
void RunMessageLoop();

// Waits for a condition with a deadline of real time; the failure stops the run when the test could
// otherwise hang (a deadlock), with a message saying what was awaited.
void WaitOrDie(const std::function<bool()>& condition, const char* what);
constexpr std::chrono::milliseconds kPatience{10000};

// A thread that runs `body`; its destructor asks it to quit (WM_QUIT) and joins it.
class UiThread {
public:
    explicit UiThread(std::function<void()> body);
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    DWORD id() const { return id_.load(std::memory_order_acquire); }
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    void quit();
    void join();

private:
    std::atomic<DWORD> id_{0};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

// Stand-ins for the device's controls, with the dialog codes and notifications the dialog manager relies
// on: "LwTestButton" (push button; BS_DEFPUSHBUTTON makes it the default), "LwTestRadio" (auto radio
// button), "LwTestEdit" (takes characters). Each logs under "ctl<id>".
void RegisterTestControls();

// A dialog template built in code; the test classes are registered when one is made.
struct TemplateBuilder {
    DLGTEMPLATE tmpl{};
    std::vector<DLGITEMTEMPLATE> items;
    TemplateBuilder(DWORD style, short cx, short cy, LPCWSTR caption = L"Test");
    TemplateBuilder(const TemplateBuilder&) = delete;
    TemplateBuilder(TemplateBuilder&&) = default; // the items keep their place
    TemplateBuilder& add(LPCWSTR cls, int id, DWORD style, short x, short y, short cx, short cy,
                         LPCWSTR text = L"");
    const DLGTEMPLATE& get() const { return tmpl; }
};

// Every window-core test runs on a device clock twenty times faster than real time.
class WinTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::Clock::SetFactor(20);
        Log().watch({});
    }
    void TearDown() override { platform::Clock::SetFactor(1); }
};

} // namespace lwtest
