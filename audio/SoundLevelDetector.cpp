#include "audio/SoundLevelDetector.h"

#include <algorithm>
#include <string>

#include "app/MonitorSession.h"
#include "audio/SoundCapture.h"
#include "audio/SoundLevel.h"
#include "platform/afx/Afx.h"
#include "platform/record/Record.h"
#include "platform/shell/PowerApi.h"
#include "settings/MonitorSettings.h"
#include "telephony/AlarmCall.h"

namespace {

constexpr std::int32_t kMeterTop = 5;

void ShowLevel(std::int32_t position) {
    if (IsCaptureStopping()) {
        return;
    }
    const CProgressCtrl* meter = g_session.levelMeter.load(std::memory_order_acquire);
    if (meter == nullptr) {
        return;
    }
    const HWND window = meter->GetSafeHwnd();
    if (window != nullptr) {
        SendMessage(window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
}

} // namespace

CWinThread* g_alarmThread = nullptr;

void OnCaptureBuffer(const BYTE* samples, DWORD count) {
    const std::int32_t factor = std::max(g_settings.sensitivityFactor.load(), kMinSensitivityFactor);
    const std::int32_t level = MeasureSoundLevel(samples, count, factor, g_settings.noiseLength.load());
    platform::record::Level(level);
    ShowLevel(std::min(level, kMeterTop));
    // Arming publishes the alarm step and the phone number.
    if (!g_session.alarmArmed.load(std::memory_order_acquire)) {
        return;
    }
    SystemIdleTimerReset();
    if (level >= static_cast<std::int32_t>(g_settings.alarmStep.load())) {
        platform::record::Alarm(level, g_settings.alarmStep.load());
        StartAlarmThread(g_settings.phoneNumber);
    }
}

void StartAlarmThread(const SharedText& number) {
    if (g_alarmThread != nullptr) {
        DWORD exitCode = 0;
        if (GetExitCodeThread(g_alarmThread->m_hThread, &exitCode) && exitCode == STILL_ACTIVE) {
            return;
        }
        delete g_alarmThread;
        g_alarmThread = nullptr;
    }
    g_alarmThread = AfxBeginThread(AlarmThreadProc, const_cast<SharedText*>(&number), THREAD_PRIORITY_NORMAL,
                                   0, 0, nullptr);
}

UINT AlarmThreadProc(LPVOID param) {
    const auto* number = static_cast<const SharedText*>(param);
    StopCaptureForCall();
    const CDialog* mainDialog = g_session.mainDialog.load(std::memory_order_acquire);
    const HWND parent = mainDialog != nullptr ? mainDialog->GetSafeHwnd() : nullptr;
    const std::wstring text = number->Get();
    PlaceAlarmCall(text.c_str(), AfxGetInstanceHandle(), parent);
    return 0;
}
