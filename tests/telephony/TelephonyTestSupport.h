// The fixture of the telephony tests: a stand-in main window, a simulated line made from profile keys,
// alarm calls on an alarm thread of their own, events delivered to the program's callback, and
// everything put back afterwards (boxes answered, calls hung up, telephony shut down).
#pragma once

#include "TestThreads.h"
#include "platform/tapi/CallJournal.h"
#include "platform/tapi/simulated/SimulatedLineService.h"
#include "platform/win/WinApi.h"
#include "telephony/TelephonyState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace lullwatch::test {

class TelephonyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Installs a simulated line made from profile keys; the journal is read from here on.
    void Install(const std::map<std::string, std::string>& keys);
    // Installs the line and starts telephony on a thread of its own; expects 0 (no box).
    void StartTelephony(const std::map<std::string, std::string>& keys);

    // Places an alarm call to `number` on the alarm thread.
    void PlaceCall(const std::wstring& number = L"5551234", std::function<void()> beforeCallWindow = nullptr);
    // Waits until the call window has initialised and the request has been answered; returns the window.
    HWND WaitForCallWindow();
    bool WaitForCallOver() { return alarm_ && alarm_->Join(); }
    // Clicks "Hang Up" the way a user does.
    void HangUp(HWND callWindow);
    POINT HangUpPoint(HWND callWindow);

    // Delivers a line message to the program's callback exactly as given.
    void Deliver(DWORD message, DWORD device, DWORD param1, DWORD param2 = 0, DWORD param3 = 0);
    // Returns once the callback has handled every event delivered before (a reinit report is delivered
    // and its box answered).
    void SyncWithCallback();

    HCALL CurrentCall();
    HLINE CurrentLine();
    LONG CurrentRequest();
    bool CallWindowUp();
    std::wstring ControlText(HWND dialog, int id);

    // The functions journalled since `from`, keeping only those named in `only` (all if empty).
    std::vector<std::string> JournalFunctions(const std::vector<std::string>& only = {},
                                              std::uint64_t from = 0);
    std::vector<platform::tapi::JournalEntry> JournalOf(const std::string& function, std::uint64_t from = 0);
    static std::vector<std::string> ReleaseFunctions() {
        return {"lineDrop", "lineDeallocateCall", "lineClose"};
    }

    HINSTANCE instance_ = nullptr;
    StandInMainWindow main_;
    std::unique_ptr<AlarmThread> alarm_;
    std::shared_ptr<platform::tapi::SimulatedLineService> line_;
    std::uint64_t journalStart_ = 1;
};

// Puts g_telephony back to its state at program start.
void ResetTelephonyState();

} // namespace lullwatch::test
