#include "telephony/LineSetup.h"

#include "platform/win/WinApi.h"
#include "telephony/LineCallback.h"
#include "telephony/LineDevices.h"

#include <cstdlib>

namespace {

constexpr DWORD kReinitPatienceMs = 5000;

// One attempt. The usage handle and the device count are written with the lock held, so an event that
// arrives at once (LINE_CREATE) finds them in place.
LONG InitializeLine(HINSTANCE instance) {
    std::lock_guard guard(g_telephony.lock);
    return lineInitialize(&g_telephony.hLineApp, instance, LineCallback, L"Lullwatch",
                          &g_telephony.lineDeviceCount);
}

// lineInitialize, retried at once for as long as the service answers LINEERR_REINIT. After more than
// five seconds of that, the user may give up (OK) or wait another five seconds (Cancel).
LONG InitializeWithRetries(HINSTANCE instance) {
    DWORD start = GetTickCount();
    LONG result = InitializeLine(instance);
    while (result == LINEERR_REINIT) {
        if (GetTickCount() > start + kReinitPatienceMs) {
            const int answer = MessageBox(nullptr,
                                          L"Cannot initialize tapi.dll.\nQuit all other telephony\nprograms, "
                                          L"and try again.",
                                          L"Warning", MB_OKCANCEL);
            if (answer == IDOK) {
                break;
            }
            start = GetTickCount();
        }
        result = InitializeLine(instance);
    }
    return result;
}

HWND CallWindow() {
    std::lock_guard guard(g_telephony.lock);
    return g_telephony.callWindow;
}

// Scans the devices from 0 upwards with record 0 of the table as the working record; the first one
// that carries voice becomes the device of every alarm call. The lock is taken per device so that a
// LINE_CREATE meanwhile can grow the table (it keeps record 0, and a raised count extends the scan).
void ChooseVoiceDevice() {
    for (DWORD device = 0;; ++device) {
        std::lock_guard guard(g_telephony.lock);
        if (device >= g_telephony.lineDeviceCount) {
            return;
        }
        LineInfo* record = &g_telephony.deviceTable[0];
        QueryLineDevice(device, record);
        if (record->voiceCapable != 0) {
            g_telephony.currentLine = *record;
            g_telephony.currentDeviceId = device;
            return;
        }
    }
}

// The table start-up scans with. A LINE_CREATE that came in since lineInitialize may have made one
// already; it is kept rather than replaced.
bool AllocateDeviceTable() {
    std::lock_guard guard(g_telephony.lock);
    if (g_telephony.deviceTable != nullptr) {
        return true;
    }
    g_telephony.deviceTable = static_cast<LineInfo*>(std::calloc(1, sizeof(LineInfo)));
    if (g_telephony.deviceTable == nullptr) {
        return false;
    }
    g_telephony.deviceTableSize = 1;
    return true;
}

} // namespace

LONG TelephonyStartup(HINSTANCE instance) {
    const LONG initialized = InitializeWithRetries(instance);
    if (initialized != 0) {
        return initialized;
    }
    DWORD deviceCount;
    {
        std::lock_guard guard(g_telephony.lock);
        deviceCount = g_telephony.lineDeviceCount;
    }
    if (deviceCount == 0) {
        MessageBox(CallWindow(), L"There are no line devices available.", L"Message", MB_OK);
        return LINEERR_NODEVICE;
    }
    if (!AllocateDeviceTable()) {
        return LINEERR_NOMEM;
    }
    ChooseVoiceDevice();
    return 0;
}

bool TelephonyUsable() {
    std::lock_guard guard(g_telephony.lock);
    return g_telephony.hLineApp != 0 && g_telephony.currentDeviceId != kNoDevice;
}

LONG TelephonyRestart(HINSTANCE instance) {
    HLINEAPP previous;
    {
        std::lock_guard guard(g_telephony.lock);
        if (g_telephony.currentLine.hLine != 0 || g_telephony.hCall != 0 ||
            g_telephony.callWindow != nullptr) {
            return LINEERR_INUSE; // a placement is under way: not now
        }
        std::free(g_telephony.deviceTable);
        g_telephony.deviceTable = nullptr;
        g_telephony.deviceTableSize = 0;
        previous = g_telephony.hLineApp;
        g_telephony.hLineApp = 0;
        g_telephony.lineDeviceCount = 0;
        g_telephony.currentLine = LineInfo{};
        g_telephony.currentDeviceId = kNoDevice;
    }
    if (previous != 0) {
        lineShutdown(previous);
    }
    if (const LONG initialized = InitializeLine(instance); initialized != 0) {
        std::lock_guard guard(g_telephony.lock);
        g_telephony.hLineApp = 0;
        return initialized;
    }
    bool noDevices;
    {
        std::lock_guard guard(g_telephony.lock);
        noDevices = g_telephony.lineDeviceCount == 0;
    }
    if (noDevices) {
        TelephonyShutdown();
        return LINEERR_NODEVICE;
    }
    if (!AllocateDeviceTable()) {
        TelephonyShutdown();
        return LINEERR_NOMEM;
    }
    ChooseVoiceDevice();
    return TelephonyUsable() ? 0 : LINEERR_NODEVICE;
}

void TelephonyShutdown() {
    HLINEAPP lineApp;
    {
        std::lock_guard guard(g_telephony.lock);
        std::free(g_telephony.deviceTable);
        g_telephony.deviceTable = nullptr;
        g_telephony.deviceTableSize = 0;
        lineApp = g_telephony.hLineApp;
        g_telephony.hLineApp = 0;
    }
    // Outside the lock: lineShutdown waits for a callback that may be waiting for the lock.
    if (lineApp != 0) {
        lineShutdown(lineApp);
    }
}
