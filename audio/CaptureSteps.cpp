#include "audio/CaptureSteps.h"

#include <algorithm>
#include <new>

#include "audio/CaptureRecord.h"
#include "audio/CaptureRecovery.h"
#include "audio/CaptureSync.h"
#include "audio/SoundCapture.h"
#include "platform/status/Indicators.h"
#include "settings/MonitorSettings.h"

namespace {

constexpr UINT kHeaderSize = sizeof(WAVEHDR);
constexpr DWORD kBytesPerPeriodUnit = 1000; // 1/8 s at 8000 one-byte samples per second

// The buffer's length. The settings store keeps the period in range; a value from elsewhere is taken
// into range here so that it can never ask for a negative or a huge buffer.
DWORD BufferLength() {
    const std::int32_t period =
        std::clamp(g_settings.averagingPeriod.load(), kMinAveragingPeriod, kMaxAveragingPeriod);
    return static_cast<DWORD>(period) * kBytesPerPeriodUnit;
}

void FillFormat(WAVEFORMATEX& f) {
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = 8000;
    f.nAvgBytesPerSec = 8000;
    f.nBlockAlign = 1;
    f.wBitsPerSample = 8;
    f.cbSize = 0;
}

MMRESULT OpenPrepareAndStart() {
    FillFormat(g_capture.format);
    g_capture.handedBack.store(false);
    g_capture.captureStopping.store(false, std::memory_order_seq_cst);
    // A device that fails while it records is reported and restarted (CaptureRecovery.h).
    waveInSetErrorProc(CaptureDeviceFailed, 0);

    HWAVEIN device = nullptr;
    MMRESULT rc = waveInOpen(&device, WAVE_MAPPER, &g_capture.format,
                             reinterpret_cast<DWORD_PTR>(&CaptureCallback), 0, CALLBACK_FUNCTION);
    if (rc != MMSYSERR_NOERROR) {
        return rc;
    }
    g_capture.device.store(device);

    const DWORD length = BufferLength();
    g_capture.header = WAVEHDR{};
    g_capture.buffer = new (std::nothrow) BYTE[length];
    if (g_capture.buffer == nullptr) {
        if (waveInClose(device) == MMSYSERR_NOERROR) {
            g_capture.device.store(nullptr);
        }
        // The device itself did not fail, so the platform does not know that nothing records.
        platform::status::Raise(platform::status::Indicator::Microphone, L"No microphone",
                                "capture buffer: MMSYSERR_NOMEM");
        return MMSYSERR_NOMEM;
    }
    g_capture.header.lpData = reinterpret_cast<char*>(g_capture.buffer);
    g_capture.header.dwBufferLength = length;

    rc = waveInPrepareHeader(device, &g_capture.header, kHeaderSize);
    if (rc != MMSYSERR_NOERROR) {
        return rc;
    }
    rc = waveInAddBuffer(device, &g_capture.header, kHeaderSize);
    if (rc != MMSYSERR_NOERROR) {
        return rc;
    }
    return waveInStart(device);
}

} // namespace

MMRESULT OpenAndStartDevice() {
    const MMRESULT rc = OpenPrepareAndStart();
    g_capture.recording.store(rc == MMSYSERR_NOERROR);
    return rc;
}

MMRESULT StopAndCloseDevice() {
    g_capture.captureStopping.store(true, std::memory_order_seq_cst);
    g_capture.recording.store(false);
    const HWAVEIN device = g_capture.device.load();
    if (device == nullptr) {
        return MMSYSERR_NOERROR;
    }
    // A callback that began before the flag was set finishes first: it may still be measuring the buffer,
    // and it must not hand the buffer back once the device has been stopped.
    g_captureSync.WaitForCallbacks();

    MMRESULT rc = waveInStop(device);
    if (rc != MMSYSERR_NOERROR) {
        return rc;
    }
    rc = waveInReset(device);
    if (rc != MMSYSERR_NOERROR) {
        return rc;
    }
    rc = waveInUnprepareHeader(device, &g_capture.header, kHeaderSize);
    if (rc != MMSYSERR_NOERROR) {
        return rc;
    }
    rc = waveInClose(device);
    if (rc != MMSYSERR_NOERROR) {
        return rc;
    }
    delete[] g_capture.buffer;
    g_capture.buffer = nullptr;
    g_capture.device.store(nullptr);
    return MMSYSERR_NOERROR;
}
