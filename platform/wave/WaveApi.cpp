// The wave API's entry points: argument checks, injected faults, then the device or the volume.
#include "platform/wave/WaveApi.h"

#include "platform/record/Record.h"
#include "platform/wave/MicrophoneIndicator.h"
#include "platform/wave/WaveService.h"

using platform::wave::NoteRecordingCall;
using platform::wave::WaveCall;
using platform::wave::WaveService;

namespace {

MMRESULT Injected(WaveCall call) {
    return WaveService::Instance().Faults().Take(call);
}

bool FormatSupported(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && f.nChannels == 1 && f.nSamplesPerSec == 8000 &&
           f.wBitsPerSample == 8 && f.nBlockAlign == 1 && f.nAvgBytesPerSec == 8000;
}

// Finds the device and checks the header argument; `rc` tells why when it returns null.
std::shared_ptr<platform::wave::WaveInDevice> DeviceFor(HWAVEIN hwi, const WAVEHDR* pwh, UINT cbwh,
                                                        MMRESULT* rc) {
    auto device = WaveService::Instance().Find(hwi);
    if (!device) {
        *rc = MMSYSERR_INVALHANDLE;
    } else if (pwh == nullptr || cbwh < sizeof(WAVEHDR)) {
        *rc = MMSYSERR_INVALPARAM;
        device.reset();
    }
    return device;
}

// The one output device answers to 0 and to WAVE_MAPPER, as a 32-bit identifier or a handle.
bool IsOutputDevice(std::uintptr_t id) {
    return id == 0 || id == WAVE_MAPPER || id == static_cast<std::uintptr_t>(-1);
}

MMRESULT GetVolume(std::uintptr_t id, DWORD* volume) {
    if (const MMRESULT f = Injected(WaveCall::GetVolume)) {
        return f;
    }
    if (!IsOutputDevice(id)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (volume == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    return WaveService::Instance().Volume()->Get(volume);
}

MMRESULT SetVolume(std::uintptr_t id, DWORD volume) {
    if (const MMRESULT f = Injected(WaveCall::SetVolume)) {
        return f;
    }
    if (!IsOutputDevice(id)) {
        return MMSYSERR_INVALHANDLE;
    }
    return WaveService::Instance().Volume()->Set(volume);
}

// Tells the night's record that capture now runs (or not) when the call that says so succeeded.
MMRESULT Recorded(MMRESULT result, bool running) {
    if (result == MMSYSERR_NOERROR) {
        platform::record::CaptureRunning(running);
    }
    return result;
}

MMRESULT Open(HWAVEIN* phwi, UINT uDeviceID, const WAVEFORMATEX* pwfx, DWORD_PTR dwCallback,
              DWORD_PTR dwInstance, DWORD fdwOpen) {
    if (const MMRESULT f = Injected(WaveCall::Open)) {
        return f;
    }
    const bool query = (fdwOpen & WAVE_FORMAT_QUERY) != 0;
    if ((fdwOpen & ~(CALLBACK_TYPEMASK | WAVE_FORMAT_QUERY)) != 0) {
        return MMSYSERR_INVALFLAG;
    }
    if (pwfx == nullptr || (phwi == nullptr && !query)) {
        return MMSYSERR_INVALPARAM;
    }
    if (uDeviceID != WAVE_MAPPER && uDeviceID != 0) {
        return MMSYSERR_BADDEVICEID;
    }
    const DWORD callbackType = fdwOpen & CALLBACK_TYPEMASK;
    if (callbackType != CALLBACK_NULL && callbackType != CALLBACK_FUNCTION) {
        return MMSYSERR_NOTSUPPORTED;
    }
    if (callbackType == CALLBACK_FUNCTION && dwCallback == 0) {
        return MMSYSERR_INVALPARAM;
    }
    if (!FormatSupported(*pwfx)) {
        return WAVERR_BADFORMAT;
    }
    if (query) {
        return MMSYSERR_NOERROR;
    }
    const auto proc = callbackType == CALLBACK_FUNCTION ? reinterpret_cast<WAVEINPROC>(dwCallback) : nullptr;
    return WaveService::Instance().Open(proc, dwInstance, phwi);
}

MMRESULT PrepareHeader(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh) {
    if (const MMRESULT f = Injected(WaveCall::Prepare)) {
        return f;
    }
    MMRESULT rc = MMSYSERR_NOERROR;
    const auto device = DeviceFor(hwi, pwh, cbwh, &rc);
    return device ? device->Prepare(pwh) : rc;
}

MMRESULT AddBuffer(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh) {
    if (const MMRESULT f = Injected(WaveCall::AddBuffer)) {
        return f;
    }
    MMRESULT rc = MMSYSERR_NOERROR;
    const auto device = DeviceFor(hwi, pwh, cbwh, &rc);
    return device ? device->AddBuffer(pwh) : rc;
}

MMRESULT Start(HWAVEIN hwi) {
    if (const MMRESULT f = Injected(WaveCall::Start)) {
        return f;
    }
    const auto device = WaveService::Instance().Find(hwi);
    return Recorded(device ? device->Start() : MMSYSERR_INVALHANDLE, true);
}

} // namespace

// The calls that get the microphone recording tell its indicator how they went (MicrophoneIndicator.h).
MMRESULT waveInOpen(HWAVEIN* phwi, UINT uDeviceID, const WAVEFORMATEX* pwfx, DWORD_PTR dwCallback,
                    DWORD_PTR dwInstance, DWORD fdwOpen) {
    const MMRESULT rc = Open(phwi, uDeviceID, pwfx, dwCallback, dwInstance, fdwOpen);
    return (fdwOpen & WAVE_FORMAT_QUERY) != 0 ? rc : NoteRecordingCall("waveInOpen", nullptr, rc);
}

MMRESULT waveInPrepareHeader(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh) {
    return NoteRecordingCall("waveInPrepareHeader", hwi, PrepareHeader(hwi, pwh, cbwh));
}

MMRESULT waveInAddBuffer(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh) {
    return NoteRecordingCall("waveInAddBuffer", hwi, AddBuffer(hwi, pwh, cbwh));
}

MMRESULT waveInStart(HWAVEIN hwi) {
    return NoteRecordingCall("waveInStart", hwi, Start(hwi));
}

MMRESULT waveInStop(HWAVEIN hwi) {
    if (const MMRESULT f = Injected(WaveCall::Stop)) {
        return f;
    }
    const auto device = WaveService::Instance().Find(hwi);
    return Recorded(device ? device->Stop() : MMSYSERR_INVALHANDLE, false);
}

MMRESULT waveInReset(HWAVEIN hwi) {
    if (const MMRESULT f = Injected(WaveCall::Reset)) {
        return f;
    }
    const auto device = WaveService::Instance().Find(hwi);
    return Recorded(device ? device->Reset() : MMSYSERR_INVALHANDLE, false);
}

MMRESULT waveInUnprepareHeader(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh) {
    if (const MMRESULT f = Injected(WaveCall::Unprepare)) {
        return f;
    }
    MMRESULT rc = MMSYSERR_NOERROR;
    const auto device = DeviceFor(hwi, pwh, cbwh, &rc);
    return device ? device->Unprepare(pwh) : rc;
}

MMRESULT waveInClose(HWAVEIN hwi) {
    if (const MMRESULT f = Injected(WaveCall::Close)) {
        return f;
    }
    return Recorded(WaveService::Instance().Close(hwi), false);
}

UINT waveInGetNumDevs() {
    return 1;
}

MMRESULT waveInSetErrorProc(WAVEINERRORPROC proc, DWORD_PTR dwInstance) {
    WaveService::Instance().SetErrorHook(platform::wave::ErrorHook{proc, dwInstance});
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetVolume(HWAVEOUT hwo, DWORD* pdwVolume) {
    return GetVolume(reinterpret_cast<std::uintptr_t>(hwo), pdwVolume);
}

MMRESULT waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume) {
    return SetVolume(reinterpret_cast<std::uintptr_t>(hwo), dwVolume);
}

MMRESULT waveOutGetVolume(UINT uDeviceID, DWORD* pdwVolume) {
    return GetVolume(uDeviceID, pdwVolume);
}

MMRESULT waveOutSetVolume(UINT uDeviceID, DWORD dwVolume) {
    return SetVolume(uDeviceID, dwVolume);
}
