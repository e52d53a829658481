#include "platform/wave/MicrophoneIndicator.h"

#include <string_view>

#include "platform/status/Indicators.h"
#include "platform/wave/TextValues.h"
#include "platform/wave/WaveService.h"

namespace platform::wave {
namespace {

constexpr wchar_t kNoMicrophone[] = L"No microphone";

// Whether a failed call on `device` (null: an open) is news about the microphone in use: not when
// another open device records, nor when `device` itself has failed already (its loss has been told).
bool Concerns(HWAVEIN device) {
    auto& service = WaveService::Instance();
    if (const auto same = service.Find(device)) {
        return !same->State().failed;
    }
    const DeviceState other = service.State();
    return !(other.open && other.recording && !other.failed);
}

} // namespace

MMRESULT NoteRecordingCall(const char* call, HWAVEIN device, MMRESULT rc) {
    if (rc != MMSYSERR_NOERROR) {
        if (Concerns(device)) {
            status::Raise(status::Indicator::Microphone, kNoMicrophone,
                          std::string(call) + ": " + ResultCodeName(rc));
        }
    } else if (std::string_view(call) == "waveInStart") {
        status::Clear(status::Indicator::Microphone);
    }
    return rc;
}

void NoteDeviceLost(MMRESULT code, const std::string& detail) {
    status::Raise(status::Indicator::Microphone, kNoMicrophone,
                  "device lost: " + ResultCodeName(code) + (detail.empty() ? "" : " (" + detail + ")"));
}

} // namespace platform::wave
