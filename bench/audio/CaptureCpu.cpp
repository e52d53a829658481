// The capture's cost to the whole process: runs the microphone with the detector and a live level meter
// (a progress bar in a dialog on a window thread of its own, repainted at every buffer) for a number of
// seconds of real time, then prints the process's CPU time (user + system, getrusage) and how many
// buffers reached the meter: the capture path alone, where capture-cpu.sh measures the whole program.
//
//   capture_cpu [--alsa <device>] [--seconds <n>] [--period <1..40>]
//
// Without --alsa the simulated microphone plays noise. The device clock runs in real time.
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "app/MonitorSession.h"
#include "audio/SoundCapture.h"
#include "platform/afx/Afx.h"
#include "platform/controls/ControlClasses.h"
#include "platform/wave/WaveService.h"
#include "platform/win/WinApi.h"
#include "settings/MonitorSettings.h"

namespace {

constexpr UINT kStart = WM_APP + 1;
constexpr UINT kStop = WM_APP + 2;
constexpr int kMeterId = 1002;

// The meter as the main window has it: a vertical progress bar 0..5 that counts its updates.
class CountingMeter : public CProgressCtrl {
public:
    std::atomic<unsigned> updates{0};

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == PBM_SETPOS) {
            updates.fetch_add(1, std::memory_order_relaxed);
        }
        return CProgressCtrl::WindowProc(message, wParam, lParam);
    }
};

const DLGITEMTEMPLATE kItems[] = {
    {WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_VERTICAL, 0, 10, 10, 11, 115, kMeterId, L"msctls_progress32",
     L""},
};
const DLGTEMPLATE kTemplate{
    WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 0, 0, 120, 134, L"Capture", 8, L"DejaVu Sans", kItems, 1};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case kStart:
        StartCapture();
        return TRUE;
    case kStop:
        StopCapture();
        DestroyWindow(dialog);
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

int main(int argc, char** argv) {
    std::string alsaDevice;
    int seconds = 60;
    int period = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--alsa") {
            alsaDevice = argv[i + 1];
        } else if (key == "--seconds") {
            seconds = std::atoi(argv[i + 1]);
        } else if (key == "--period") {
            period = std::atoi(argv[i + 1]);
        } else {
            std::fprintf(stderr, "usage: capture_cpu [--alsa <device>] [--seconds <n>] [--period <1..40>]\n");
            return 2;
        }
    }

    platform::wave::WaveConfig config;
    if (!alsaDevice.empty()) {
        config.source = platform::wave::WaveConfig::Source::Alsa;
        config.alsaDevice = alsaDevice;
    } else {
        std::string error;
        if (!platform::wave::ParseGenerator({"noise", "60"}, &config.generator, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    std::string error;
    if (!platform::wave::Configure(config, &error)) {
        std::fprintf(stderr, "capture_cpu: %s\n", error.c_str());
        return 1;
    }
    g_settings.averagingPeriod = period;

    CountingMeter meter;
    CDialog mainWindow;
    std::promise<HWND> created;
    std::thread windowThread([&] {
        platform::controls::RegisterControlClasses();
        const HWND dialog = CreateDialogIndirectParam(nullptr, &kTemplate, nullptr, DialogProc, 0);
        meter.SubclassWindow(GetDlgItem(dialog, kMeterId));
        meter.SetRange(0, 5);
        mainWindow.Attach(dialog);
        g_session.mainDialog.store(&mainWindow, std::memory_order_release);
        g_session.levelMeter.store(&meter, std::memory_order_release);
        created.set_value(dialog);
        MSG msg{};
        while (GetMessage(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessage(dialog, &msg)) {
                DispatchMessage(&msg);
            }
        }
        g_session.levelMeter.store(nullptr, std::memory_order_release);
        g_session.mainDialog.store(nullptr, std::memory_order_release);
        meter.UnsubclassWindow();
        mainWindow.Detach();
    });
    const HWND dialog = created.get_future().get();

    const double before = CpuSeconds();
    PostMessage(dialog, kStart, 0, 0);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    PostMessage(dialog, kStop, 0, 0);
    windowThread.join();
    platform::wave::Shutdown();
    const double cpu = CpuSeconds();

    std::printf("source %s\nseconds %d\nbuffers %u\ncpu %.3f\ncpu_before_start %.3f\n",
                alsaDevice.empty() ? "generator" : alsaDevice.c_str(), seconds, meter.updates.load(), cpu,
                before);
    return meter.updates.load() > 0 ? 0 : 1;
}
