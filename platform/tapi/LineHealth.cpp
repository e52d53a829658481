#include "platform/tapi/LineHealth.h"

#include "platform/status/Indicators.h"
#include "platform/tapi/TapiNames.h"

#include <map>
#include <mutex>
#include <optional>

namespace platform::tapi::health {
namespace {

using status::Indicator;

struct Words {
    std::wstring text;
    std::string detail;
};

struct State {
    std::mutex mutex;
    std::optional<Words> startup;        // why the latest lineInitialize left no usable line
    std::optional<DWORD> device;         // the line in use
    std::map<DWORD, Words> outOfService; // devices out of service, with the words to show
    std::map<DWORD, Words> reasons;      // the services' own words for an outage
    std::optional<Words> openFailure;    // the latest lineOpen failed
    std::optional<Words> refusal;        // the latest lineMakeCall refused the number
    std::optional<Words> shown;          // what the indicator says now
};

State& TheState() {
    static State state;
    return state;
}

std::optional<Words> CauseLocked(const State& s) {
    if (s.startup) {
        return s.startup;
    }
    if (s.device) {
        if (auto it = s.outOfService.find(*s.device); it != s.outOfService.end()) {
            return it->second;
        }
    }
    return s.openFailure ? s.openFailure : s.refusal;
}

// Publishes a change of cause. The lock stays held so that two threads' changes reach the status table
// in the order they were made; the table's listeners never call back into the line API.
void PublishLocked(State& s) {
    const auto cause = CauseLocked(s);
    const bool same = cause.has_value() == s.shown.has_value() &&
                      (!cause || (cause->text == s.shown->text && cause->detail == s.shown->detail));
    if (same) {
        return;
    }
    s.shown = cause;
    if (cause) {
        status::Raise(Indicator::Line, cause->text, cause->detail);
    } else {
        status::Clear(Indicator::Line);
    }
}

// The words for a device state that stops calls, or none for a state that does not.
std::optional<Words> OutageWords(DWORD state) {
    switch (state) {
    case LINEDEVSTATE_OUTOFSERVICE:
        return Words{L"Line out of service", "LINEDEVSTATE_OUTOFSERVICE"};
    case LINEDEVSTATE_DISCONNECTED:
        return Words{L"Line disconnected", "LINEDEVSTATE_DISCONNECTED"};
    case LINEDEVSTATE_MAINTENANCE:
        return Words{L"Line in maintenance", "LINEDEVSTATE_MAINTENANCE"};
    default:
        return std::nullopt;
    }
}

bool BackInService(DWORD state) {
    return state == LINEDEVSTATE_INSERVICE || state == LINEDEVSTATE_CONNECTED;
}

// The lowest-numbered device that negotiates a version and carries interactive voice.
std::optional<DWORD> FirstVoiceDevice(TelephonyService& service, DWORD deviceCount) {
    for (DWORD device = 0; device < deviceCount; ++device) {
        DWORD version = 0;
        if (service.NegotiateVersion(device, TAPI_VERSION1_0, TAPI_VERSION2_0, &version) != 0) {
            continue;
        }
        DeviceInfo info;
        if (service.DescribeDevice(device, &info) == 0 &&
            (info.mediaModes & LINEMEDIAMODE_INTERACTIVEVOICE) != 0) {
            return device;
        }
    }
    return std::nullopt;
}

} // namespace

void Reset() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.startup.reset();
    s.device.reset();
    s.outOfService.clear();
    s.reasons.clear();
    s.openFailure.reset();
    s.refusal.reset();
    s.shown.reset();
    status::Clear(Indicator::Line);
}

void InitializeFailed(LONG result) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.startup = Words{L"No line",
                      "lineInitialize: " + TapiValueName(TapiNameFamily::Error, static_cast<DWORD>(result))};
    PublishLocked(s);
}

void Initialized(TelephonyService& service, DWORD deviceCount) {
    const auto voice = FirstVoiceDevice(service, deviceCount);
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (deviceCount == 0) {
        s.startup = Words{L"No line", "no line device"};
    } else if (!voice) {
        s.startup = Words{L"No line", "no line device carries voice"};
    } else {
        s.startup.reset();
        s.device = voice;
    }
    s.openFailure.reset();
    PublishLocked(s);
}

void LineOpened(DWORD deviceId) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.device = deviceId;
    s.openFailure.reset();
    PublishLocked(s);
}

void OpenFailed(DWORD deviceId, LONG result) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.openFailure =
        Words{L"Line cannot be opened", "lineOpen device " + std::to_string(deviceId) + ": " +
                                            TapiValueName(TapiNameFamily::Error, static_cast<DWORD>(result))};
    PublishLocked(s);
}

void DeviceStateChanged(DWORD deviceId, DWORD state, DWORD param2, DWORD param3) {
    if (state == LINEDEVSTATE_REINIT) {
        if (param2 != LINE_LINEDEVSTATE) {
            return;
        }
        state = param3;
    }
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (auto words = OutageWords(state)) {
        if (auto reason = s.reasons.find(deviceId); reason != s.reasons.end()) {
            words = reason->second;
        }
        s.outOfService[deviceId] = *words;
    } else if (BackInService(state)) {
        s.outOfService.erase(deviceId);
        s.reasons.erase(deviceId);
    } else {
        return;
    }
    PublishLocked(s);
}

void OutageReason(DWORD deviceId, std::wstring text, std::string detail) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    Words words{std::move(text), std::move(detail)};
    s.reasons[deviceId] = words;
    if (auto it = s.outOfService.find(deviceId); it != s.outOfService.end()) {
        it->second = words;
        PublishLocked(s);
    }
}

void CallRefused(std::wstring text, std::string detail) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.refusal = Words{std::move(text), std::move(detail)};
    PublishLocked(s);
}

void CallAccepted() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (s.refusal) {
        s.refusal.reset();
        PublishLocked(s);
    }
}

} // namespace platform::tapi::health
