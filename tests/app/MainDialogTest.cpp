// The main window in the test's process, on the device's services (the wave generator's silence, the
// memory volume, the simulated line), with the device clock all but stopped: the countdown's timer never
// comes due on its own, and the test ticks it by hand on the window thread. So each tick's text, the
// moment of arming, and what a session end gives back are checked one step at a time.
#include "AppTestSupport.h"

#include "app/MainDialog.h"
#include "app/MonitorSession.h"
#include "app/Resource.h"
#include "app/SessionControl.h"
#include "platform/shell/SoftKeys.h"
#include "platform/tapi/CallJournal.h"
#include "platform/tapi/InstalledService.h"
#include "platform/tapi/simulated/SimulatedLineService.h"
#include "platform/wave/WaveApi.h"
#include "platform/wave/WaveService.h"
#include "platform/win/Clock.h"
#include "settings/MonitorSettings.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace lwapp;

// Device milliseconds per real millisecond: a device second lasts about eleven real days.
constexpr double kStoppedClock = 1e-9;
constexpr DWORD kUserVolume = 0xA000A000;
constexpr int kStepIds[] = {IDC_STEP5, IDC_STEP4, IDC_STEP3, IDC_STEP2, IDC_STEP1};

class MainDialogTest : public testing::Test {
protected:
    void SetUp() override {
        UseProgramResources();
        platform::Clock::SetFactor(kStoppedClock);
        platform::tapi::InstallService(
            std::make_shared<platform::tapi::SimulatedLineService>(platform::tapi::SimulatedLineConfig{}));
        waveOutSetVolume(WAVE_MAPPER, kUserVolume);
        g_settings.phoneNumber.Set(L"");
        g_settings.alarmStep = 1;
        firstJournalEntry_ = platform::tapi::Journal().NextSeq();
    }

    void TearDown() override {
        Close();
        platform::shell::SetMenuBarCreationFails(false);
        platform::tapi::InstallService(nullptr);
        platform::Clock::SetFactor(1);
    }

    // Runs the main window on a window thread of its own, with a runner for the test's ticks.
    void Open(bool waitForStart = true) {
        thread_ = std::make_unique<UiThread>([this] {
            ThreadRunner runner;
            runner_.store(&runner);
            {
                CMainDialog dialog;
                result_ = dialog.DoModal();
            }
            runner_.store(nullptr);
        });
        // A window whose initialisation shows a message is not shown before the message is answered.
        main_ = WaitForWindow(L"Lullwatch", waitForStart);
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(Eventually([this] { return runner_.load() != nullptr; }));
        if (waitForStart) {
            ASSERT_TRUE(Eventually([] { return g_session.mainDialog.load() != nullptr; }));
            ASSERT_TRUE(platform::desktop::WaitUntilIdle(kDeadline));
        }
    }

    // Ends the window as the "OK" soft key does and waits for the window thread.
    void Close() {
        if (!thread_) {
            return;
        }
        if (IsWindow(main_)) {
            PostMessage(main_, WM_COMMAND, IDOK, 0);
        }
        EXPECT_TRUE(Eventually([this] { return result_.load() != kRunning; }));
        thread_->Join();
        thread_.reset();
    }

    void Tick() const {
        runner_.load()->Run([this] { CountdownTick(main_, WM_TIMER, kCountdownTimerId, 0); });
    }

    void ClickAndSettle(int id) const {
        Click(Item(id));
        ASSERT_TRUE(platform::desktop::WaitUntilIdle(kDeadline));
    }

    HWND Item(int id) const { return GetDlgItem(main_, id); }
    std::wstring RunText() const { return WindowText(Item(IDC_RUN)); }

    // Whether the phone-number field and every step button are enabled (true) or disabled (false).
    bool FieldsEnabled(bool enabled) const {
        bool all = IsWindowEnabled(Item(IDC_PHONE_NUMBER)) == (enabled ? TRUE : FALSE);
        for (const int id : kStepIds) {
            all = all && IsWindowEnabled(Item(id)) == (enabled ? TRUE : FALSE);
        }
        return all;
    }

    static DWORD Volume() {
        DWORD volume = 0;
        waveOutGetVolume(WAVE_MAPPER, &volume);
        return volume;
    }

    bool Called(const std::string& function) const {
        for (const auto& entry : platform::tapi::Journal().Entries(firstJournalEntry_)) {
            if (entry.function == function) {
                return true;
            }
        }
        return false;
    }

    static constexpr INT_PTR kRunning = -100;
    DataFolder data_;
    std::unique_ptr<UiThread> thread_;
    std::atomic<ThreadRunner*> runner_{nullptr};
    std::atomic<INT_PTR> result_{kRunning};
    HWND main_ = nullptr;
    std::uint64_t firstJournalEntry_ = 0;
};

TEST_F(MainDialogTest, CountdownRunsFrom28To0AndArmsAtThe31stTick) {
    data_.Write("phonenumber.txt", std::string("5551234\0", 8));
    data_.Write("sound.txt", "\x04");
    Open();
    ASSERT_EQ(WindowText(Item(IDC_PHONE_NUMBER)), L"5551234");
    ClickAndSettle(IDC_RUN);
    EXPECT_EQ(RunText(), L"Run"); // until the first tick
    EXPECT_FALSE(g_session.sessionActive.load());

    std::vector<std::wstring> expected = {L"Stop"};
    for (int seconds = 28; seconds >= 0; --seconds) {
        expected.push_back(L"Stop - " + std::to_wstring(seconds) + L" sec");
    }
    expected.push_back(L"Stop");
    ASSERT_EQ(expected.size(), 31u);

    for (std::size_t tick = 1; tick <= expected.size(); ++tick) {
        SCOPED_TRACE("tick " + std::to_string(tick));
        Tick();
        EXPECT_EQ(RunText(), expected[tick - 1]);
        EXPECT_EQ(g_session.alarmArmed.load(), tick == expected.size());
        EXPECT_TRUE(g_session.sessionActive.load());
        EXPECT_TRUE(FieldsEnabled(false));
        EXPECT_EQ(Volume(), 0u);
    }
    EXPECT_EQ(g_session.countdownTicks.load(), 0);
    EXPECT_EQ(g_settings.phoneNumber.Get(), L"5551234");
    EXPECT_EQ(g_settings.alarmStep.load(), 4);
    EXPECT_EQ(data_.Read("sound.txt"), "\x04");
    EXPECT_EQ(data_.Read("phonenumber.txt"), std::string("5551234\0", 8));

    ClickAndSettle(IDC_RUN); // Stop
    EXPECT_EQ(RunText(), L"Run");
    EXPECT_FALSE(g_session.alarmArmed.load());
    EXPECT_FALSE(g_session.sessionActive.load());
    EXPECT_TRUE(FieldsEnabled(true));
    EXPECT_EQ(Volume(), kUserVolume);
}

TEST_F(MainDialogTest, TheCheckedButtonFromTheBottomUpIsTheAlarmStep) {
    data_.Write("phonenumber.txt", "1");
    Open();
    // The user checks the top button: step 5.
    ClickAndSettle(IDC_STEP5);
    ClickAndSettle(IDC_RUN);
    Tick();
    EXPECT_EQ(g_settings.alarmStep.load(), 5);
    EXPECT_EQ(data_.Read("sound.txt"), "\x05");
}

TEST_F(MainDialogTest, EmptyNumberShowsOneBoxAndChangesNothing) {
    Open();
    ClickAndSettle(IDC_RUN);
    runner_.load()->Post([this] { CountdownTick(main_, WM_TIMER, kCountdownTimerId, 0); });
    const HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const auto info = platform::controls::ReadMessageBox(box);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->caption, L"Phone number");
    EXPECT_EQ(info->text, L"Enter phone number");
    EXPECT_EQ(info->type, static_cast<UINT>(0x40030));

    // Ticks that the box's loop dispatches meanwhile return at once: no second box, no count.
    Tick();
    Tick();
    EXPECT_EQ(MessageBoxCount(), 1);
    EXPECT_EQ(g_session.countdownTicks.load(), 1);

    platform::controls::PressMessageBoxButton(box, IDOK);
    ASSERT_TRUE(Eventually([] { return MessageBoxCount() == 0; }));
    ASSERT_TRUE(platform::desktop::WaitUntilIdle(kDeadline));
    EXPECT_EQ(RunText(), L"Run");
    EXPECT_TRUE(FieldsEnabled(true));
    EXPECT_FALSE(g_session.sessionActive.load());
    EXPECT_EQ(g_session.countdownTicks.load(), 0);
    EXPECT_EQ(Volume(), kUserVolume);
    EXPECT_FALSE(std::filesystem::exists(data_.SettingsFolder()));
    // The countdown's timer is gone, so no second box follows.
    BOOL killed = TRUE;
    runner_.load()->Run([&] { killed = KillTimer(main_, kCountdownTimerId); });
    EXPECT_FALSE(killed);
}

TEST_F(MainDialogTest, ClosingDuringTheCountdownGivesTheVolumeBack) {
    data_.Write("phonenumber.txt", "5551234");
    Open();
    ClickAndSettle(IDC_RUN);
    Tick();
    Tick();
    ASSERT_EQ(Volume(), 0u);
    Close();
    EXPECT_EQ(result_.load(), IDOK);
    EXPECT_EQ(Volume(), kUserVolume);
    EXPECT_FALSE(g_session.sessionActive.load());
    EXPECT_FALSE(g_session.alarmArmed.load());
    // Nothing of the window is left for the other threads, and the microphone is closed.
    EXPECT_EQ(g_session.mainDialog.load(), nullptr);
    EXPECT_EQ(g_session.levelMeter.load(), nullptr);
    EXPECT_EQ(platform::wave::WaveService::Instance().DescribeDevice(), "closed");
    EXPECT_TRUE(Called("lineShutdown"));
}

TEST_F(MainDialogTest, ClosingAfterASessionLeavesTheUsersVolumeAlone) {
    data_.Write("phonenumber.txt", "5551234");
    Open();
    ClickAndSettle(IDC_RUN);
    Tick();
    ClickAndSettle(IDC_RUN); // Stop: the volume comes back
    ASSERT_EQ(Volume(), kUserVolume);
    // The user turns the phone's volume down afterwards; closing the monitor must not undo that.
    waveOutSetVolume(WAVE_MAPPER, 0x11111111);
    Close();
    EXPECT_EQ(Volume(), 0x11111111u);
}

TEST_F(MainDialogTest, StartsCaptureAndTelephonyAndShowsTheLiveMeter) {
    Open();
    EXPECT_EQ(platform::wave::WaveService::Instance().DescribeDevice().rfind("open", 0), 0u);
    EXPECT_TRUE(Called("lineInitialize"));
    const auto* meter = g_session.levelMeter.load();
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->GetSafeHwnd(), Item(IDC_LEVEL_METER));
    EXPECT_EQ(SendMessage(Item(IDC_LEVEL_METER), PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessage(Item(IDC_LEVEL_METER), PBM_GETRANGE, FALSE, 0), 5);
    // Step 1 (the bottom button) when nothing is stored; the field takes at most 30 characters.
    EXPECT_EQ(SendMessage(Item(IDC_STEP1), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(Item(IDC_PHONE_NUMBER), EM_GETLIMITTEXT, 0, 0), kMaxStoredPhoneNumberLength);
}

TEST_F(MainDialogTest, MenuBarFailureEndsTheWindowWithAMessage) {
    platform::shell::SetMenuBarCreationFails(true);
    Open(false);
    const HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const auto info = platform::controls::ReadMessageBox(box);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->caption, L"Initialization error");
    EXPECT_NE(info->text.find(L"menu bar"), std::wstring::npos);
    platform::controls::PressMessageBoxButton(box, IDOK);
    ASSERT_TRUE(Eventually([this] { return result_.load() != kRunning; }));
    EXPECT_EQ(result_.load(), IDCANCEL);
    Close();
    // Nothing was published or started.
    EXPECT_EQ(g_session.mainDialog.load(), nullptr);
    EXPECT_FALSE(Called("lineInitialize"));
}

TEST_F(MainDialogTest, TelephonyFailureLeavesTheWindowRunning) {
    platform::tapi::InstallService(nullptr); // lineInitialize finds no driver
    Open(false);
    const HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const auto info = platform::controls::ReadMessageBox(box);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->caption, L"Initialization error");
    EXPECT_EQ(info->text, L"Phone initialization error");
    platform::controls::PressMessageBoxButton(box, IDOK);
    ASSERT_TRUE(Eventually([] { return MessageBoxCount() == 0; }));
    EXPECT_TRUE(Eventually([this] { return IsWindowVisible(main_) != FALSE; }));
    EXPECT_NE(g_session.levelMeter.load(), nullptr);
    EXPECT_EQ(platform::wave::WaveService::Instance().DescribeDevice().rfind("open", 0), 0u);
}

} // namespace
