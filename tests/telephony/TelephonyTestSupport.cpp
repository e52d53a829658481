#include "TelephonyTestSupport.h"

#include "app/Resource.h"
#include "platform/controls/ControlClasses.h"
#include "platform/tapi/InstalledService.h"
#include "platform/tapi/simulated/SimulatedLineSetup.h"
#include "platform/win/Clock.h"
#include "platform/win/Desktop.h"
#include "platform/win/Resources.h"
#include "telephony/LineFailureNotice.h"
#include "telephony/LineSetup.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

namespace lullwatch::test {

using platform::tapi::Journal;

void ResetTelephonyState() {
    std::lock_guard lock(g_telephony.lock);
    std::free(g_telephony.deviceTable);
    g_telephony.deviceTable = nullptr;
    g_telephony.deviceTableSize = 0;
    g_telephony.hLineApp = 0;
    g_telephony.lineDeviceCount = 0;
    g_telephony.currentLine = LineInfo{};
    g_telephony.currentDeviceId = kNoDevice;
    std::wmemset(g_telephony.displayNumber, L'\0', std::size(g_telephony.displayNumber));
    g_telephony.hCall = 0;
    g_telephony.makeCallRequest = 0;
    g_telephony.callWindow = nullptr;
    g_telephony.callEnded = false;
}

void TelephonyTest::SetUp() {
    platform::Clock::SetFactor(1.0);
    platform::controls::RegisterControlClasses();
    instance_ = platform::resources::ProgramInstance();
    RegisterCallDialogTemplate(instance_);
    ResetTelephonyState();
    StatusLog::Clear();
    journalStart_ = Journal().NextSeq();
    main_.Start();
}

void TelephonyTest::TearDown() {
    if (alarm_ && !alarm_->Done()) {
        DismissMessageBoxes();
        HWND window;
        {
            std::lock_guard lock(g_telephony.lock);
            window = g_telephony.callWindow;
        }
        if (window != nullptr) {
            PostMessage(window, WM_COMMAND, IDCANCEL, 0);
        }
        EXPECT_TRUE(alarm_->Join());
    }
    alarm_.reset();
    DismissMessageBoxes();
    if (const HANDLE notice = LineFailureNoticeThread(); notice != nullptr) {
        EXPECT_EQ(WaitForSingleObject(notice, INFINITE), WAIT_OBJECT_0);
    }
    TelephonyShutdown();
    main_.Stop();
    platform::tapi::InstallService(nullptr);
    line_.reset();
    ResetTelephonyState();
    platform::Clock::SetFactor(1.0);
}

void TelephonyTest::Install(const std::map<std::string, std::string>& keys) {
    std::string error;
    line_ = platform::tapi::StartSimulatedLine(keys, &error);
    ASSERT_TRUE(line_) << error;
    journalStart_ = Journal().NextSeq();
}

void TelephonyTest::StartTelephony(const std::map<std::string, std::string>& keys) {
    Install(keys);
    StartupThread startup(instance_);
    const auto result = startup.Result();
    ASSERT_TRUE(result) << "start-up did not return";
    ASSERT_EQ(*result, 0);
}

void TelephonyTest::PlaceCall(const std::wstring& number, std::function<void()> beforeCallWindow) {
    StatusLog::Clear();
    alarm_ = std::make_unique<AlarmThread>();
    alarm_->Start(number, instance_, main_.Hwnd(), std::move(beforeCallWindow));
}

HWND TelephonyTest::WaitForCallWindow() {
    HWND window = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        std::lock_guard lock(g_telephony.lock);
        window = g_telephony.callWindow;
        return window != nullptr;
    }));
    // Up means shown on top, where the user's clicks and keys reach it.
    EXPECT_TRUE(
        WaitFor([&] { return window != nullptr && platform::desktop::ForegroundWindow() == window; }));
    // The simulated line answers the request at once; wait for that reply to have been handled, so that
    // what the test delivers next comes after it.
    EXPECT_TRUE(line_ == nullptr || WaitFor([&] {
                    const auto calls = line_->Calls();
                    return !calls.empty() && !calls.back().reported.empty();
                }));
    return window;
}

POINT TelephonyTest::HangUpPoint(HWND callWindow) {
    const HWND button = GetDlgItem(callWindow, IDCANCEL);
    EXPECT_NE(button, nullptr);
    RECT r{};
    GetWindowRect(button, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void TelephonyTest::HangUp(HWND callWindow) {
    platform::desktop::InjectClick(HangUpPoint(callWindow));
}

void TelephonyTest::Deliver(DWORD message, DWORD device, DWORD param1, DWORD param2, DWORD param3) {
    platform::tapi::SimulatedLineService::InjectedEvent event;
    event.message = message;
    event.device = device;
    event.param1 = param1;
    event.param2 = param2;
    event.param3 = param3;
    std::string error;
    ASSERT_TRUE(line_->Inject(event, &error)) << error;
}

void TelephonyTest::SyncWithCallback() {
    Deliver(LINE_LINEDEVSTATE, 0, LINEDEVSTATE_REINIT, 0, 0);
    const auto box = WaitForMessageBox();
    ASSERT_TRUE(box);
    ASSERT_EQ(box->caption, L"Error");
    ASSERT_TRUE(Answer(box->hwnd, IDOK));
}

HCALL TelephonyTest::CurrentCall() {
    std::lock_guard lock(g_telephony.lock);
    return g_telephony.hCall;
}

HLINE TelephonyTest::CurrentLine() {
    std::lock_guard lock(g_telephony.lock);
    return g_telephony.currentLine.hLine;
}

LONG TelephonyTest::CurrentRequest() {
    std::lock_guard lock(g_telephony.lock);
    return g_telephony.makeCallRequest;
}

bool TelephonyTest::CallWindowUp() {
    std::lock_guard lock(g_telephony.lock);
    return g_telephony.callWindow != nullptr;
}

std::wstring TelephonyTest::ControlText(HWND dialog, int id) {
    for (const auto& child : platform::desktop::EnumerateChildren(dialog)) {
        if (child.id == id) {
            return child.text;
        }
    }
    return L"<no control>";
}

std::vector<std::string> TelephonyTest::JournalFunctions(const std::vector<std::string>& only,
                                                         std::uint64_t from) {
    std::vector<std::string> names;
    for (const auto& entry : Journal().Entries(from != 0 ? from : journalStart_)) {
        if (only.empty() || std::find(only.begin(), only.end(), entry.function) != only.end()) {
            names.push_back(entry.function);
        }
    }
    return names;
}

std::vector<platform::tapi::JournalEntry> TelephonyTest::JournalOf(const std::string& function,
                                                                   std::uint64_t from) {
    std::vector<platform::tapi::JournalEntry> found;
    for (const auto& entry : Journal().Entries(from != 0 ? from : journalStart_)) {
        if (entry.function == function) {
            found.push_back(entry);
        }
    }
    return found;
}

} // namespace lullwatch::test
