#include "app/SessionControl.h"

#include "app/MainDialog.h"
#include "app/MonitorSession.h"
#include "audio/CaptureRetry.h"
#include "platform/record/Record.h"
#include "platform/shell/PowerApi.h"
#include "platform/wave/WaveApi.h"
#include "settings/SessionVolumeFile.h"
#include "settings/SettingsStore.h"

#include <cstdio>
#include <string>

namespace {

constexpr UINT kErrorStyle = MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST;
// The tick that arms the alarm is the 31st; the button counts down from 30 minus the ticks so far.
constexpr int kArmingTicks = 30;

CMainDialog* MainDialog() {
    return static_cast<CMainDialog*>(g_session.mainDialog.load(std::memory_order_acquire));
}

std::wstring CountdownText(int secondsLeft) {
    wchar_t text[32];
    swprintf(text, sizeof text / sizeof text[0], L"Stop - %d sec", secondsLeft);
    return text;
}

// Enables or disables the phone-number field, then the step buttons from step 1 (bottom) to step 5 (top).
void EnableSessionFields(CMainDialog& dialog, BOOL enable) {
    dialog.m_phoneEdit.EnableWindow(enable);
    for (int step = 1; step <= kStepCount; ++step) {
        dialog.m_stepButtons[StepButtonIndex(step)].EnableWindow(enable);
    }
}

// The step of the first checked button from the bottom (step 1) up; 1 when none is checked.
BYTE CheckedStep(const CMainDialog& dialog) {
    for (int step = 1; step <= kStepCount; ++step) {
        if (dialog.m_stepChecked[StepButtonIndex(step)] != 0) {
            return static_cast<BYTE>(step);
        }
    }
    return 1;
}

// Enter or Escape, as a key press or as the character it makes.
bool IsEnterOrEscape(const MSG& msg) {
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        return msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE;
    case WM_CHAR:
        return msg.wParam == L'\r' || msg.wParam == 0x1B;
    default:
        return false;
    }
}

} // namespace

BOOL CMainDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg != nullptr && g_session.sessionActive.load() && IsEnterOrEscape(*pMsg)) {
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CMainDialog::OnRunStop() {
    // Whoever presses Run or Stop expects the monitor to listen: a microphone that is down is tried
    // again now rather than at the end of its pause.
    RetryCaptureNow();
    if (g_session.sessionActive.load()) {
        EndSession();
        return;
    }
    if (SetTimer(kCountdownTimerId, kCountdownPeriodMs, CountdownTick) != 0) {
        return; // the session begins at the first tick
    }
    if (BeginSession(this)) {
        g_session.alarmArmed.store(true, std::memory_order_release);
        platform::record::Armed();
    }
}

void CountdownTick(HWND hwnd, UINT /*message*/, UINT_PTR /*timerId*/, DWORD /*time*/) {
    // A message box opened by the first tick runs a message loop that dispatches further ticks.
    if (g_session.tickInProgress.load()) {
        return;
    }
    g_session.tickInProgress.store(true);

    const int ticks = g_session.countdownTicks.load();
    if (ticks == 0) {
        g_session.countdownTicks.store(1);
        if (!BeginSession(MainDialog())) {
            KillTimer(hwnd, kCountdownTimerId);
            g_session.countdownTicks.store(0);
        }
    } else if (ticks >= kArmingTicks) {
        KillTimer(hwnd, kCountdownTimerId);
        g_session.countdownTicks.store(0);
        if (CMainDialog* dialog = MainDialog()) {
            dialog->m_runButton.SetWindowText(L"Stop");
        }
        g_session.alarmArmed.store(true, std::memory_order_release);
        platform::record::Armed();
    } else {
        g_session.countdownTicks.store(ticks + 1);
        if (CMainDialog* dialog = MainDialog()) {
            dialog->m_runButton.SetWindowText(CountdownText(kArmingTicks - (ticks + 1)).c_str());
        }
    }

    g_session.tickInProgress.store(false);
}

BOOL BeginSession(CMainDialog* dialog) {
    if (dialog == nullptr) {
        return FALSE;
    }
    std::wstring number;
    dialog->m_phoneEdit.GetWindowText(number);
    g_settings.phoneNumber.Set(number);
    if (number.empty()) {
        dialog->MessageBox(L"Enter phone number", L"Phone number", kErrorStyle);
        return FALSE;
    }

    EnableSessionFields(*dialog, FALSE);

    EnsureDataFolder();
    SavePhoneNumber(number);

    dialog->UpdateData(TRUE);
    const BYTE step = CheckedStep(*dialog);
    g_settings.alarmStep.store(step);
    SaveAlarmStep(step);

    dialog->m_runButton.SetWindowText(L"Stop");

    // The phone stays silent for the whole session. A volume that cannot be read is not given back. The
    // volume to give back goes to disk before the output is muted, so that a run that dies in the session
    // does not leave the phone muted for good: the next start gives it back.
    DWORD volume = 0;
    waveOutGetVolume(WAVE_MAPPER, &volume);
    g_session.savedVolume.store(volume);
    if (!SaveSessionVolume(volume)) {
        std::fprintf(stderr, "lullwatch: cannot keep the volume to give back in the data folder; if this run "
                             "dies during the session, the output stays muted\n");
    }
    waveOutSetVolume(WAVE_MAPPER, 0);
    // The machine must not sleep while the room is listened to.
    PowerPolicyNotify(PPN_UNATTENDEDMODE, TRUE);

    g_session.sessionActive.store(true);
    platform::record::SessionStarted(number, step, g_settings.averagingPeriod, g_settings.sensitivityFactor,
                                     g_settings.noiseLength);
    return TRUE;
}

void EndSession() {
    g_session.alarmArmed.store(false, std::memory_order_release);
    const bool wasActive = g_session.sessionActive.load();

    CMainDialog* dialog = MainDialog();
    if (dialog != nullptr) {
        KillTimer(dialog->GetSafeHwnd(), kCountdownTimerId);
    }
    g_session.countdownTicks.store(0);
    g_session.sessionActive.store(false);
    platform::record::SessionStopped();

    if (dialog != nullptr) {
        EnableSessionFields(*dialog, TRUE);
        dialog->m_runButton.SetWindowText(L"Run");
    }

    const DWORD savedVolume = g_session.savedVolume.load();
    if (wasActive && savedVolume != 0) {
        waveOutSetVolume(WAVE_MAPPER, savedVolume);
    }
    if (wasActive) {
        PowerPolicyNotify(PPN_UNATTENDEDMODE, FALSE);
        RemoveSessionVolume();
    }
}

void RecoverInterruptedSession() {
    RemoveInterruptedWrites();
    if (!SessionVolumeFileExists()) {
        return;
    }
    DWORD volume = 0;
    if (!LoadSessionVolume(volume)) {
        std::fprintf(stderr, "lullwatch: the last run ended during a monitoring session, but the volume it "
                             "muted could not be read back; the output volume is left as it is\n");
    } else {
        if (volume != 0) {
            waveOutSetVolume(WAVE_MAPPER, volume);
        }
        std::fprintf(stderr,
                     "lullwatch: the last run ended during a monitoring session; the output volume it "
                     "muted is given back (0x%08X)\n",
                     static_cast<unsigned>(volume));
    }
    RemoveSessionVolume();
}
