#include "platform/tapi/modem/CallStates.h"

#include <ModemManager.h>

namespace platform::tapi::modem {
namespace {

DWORD DisconnectMode(unsigned reason) {
    switch (reason) {
    case MM_CALL_STATE_REASON_TERMINATED:
        return LINEDISCONNECTMODE_NORMAL;
    case MM_CALL_STATE_REASON_REFUSED_OR_BUSY:
        return LINEDISCONNECTMODE_BUSY;
    case MM_CALL_STATE_REASON_ERROR:
        return LINEDISCONNECTMODE_UNAVAIL;
    case MM_CALL_STATE_REASON_AUDIO_SETUP_FAILED:
        return LINEDISCONNECTMODE_INCOMPATIBLE;
    case MM_CALL_STATE_REASON_TRANSFERRED:
    case MM_CALL_STATE_REASON_DEFLECTED:
        return LINEDISCONNECTMODE_FORWARDED;
    default:
        return LINEDISCONNECTMODE_UNKNOWN;
    }
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

std::optional<LineCallState> MapCallState(int state, unsigned reason) {
    switch (state) {
    case MM_CALL_STATE_DIALING:
        return LineCallState{LINECALLSTATE_DIALING, 0};
    case MM_CALL_STATE_RINGING_OUT:
        return LineCallState{LINECALLSTATE_RINGBACK, 0};
    case MM_CALL_STATE_ACTIVE:
        return LineCallState{LINECALLSTATE_CONNECTED, 0};
    case MM_CALL_STATE_HELD:
        return LineCallState{LINECALLSTATE_ONHOLD, 0};
    case MM_CALL_STATE_TERMINATED:
        return LineCallState{LINECALLSTATE_DISCONNECTED, DisconnectMode(reason)};
    default:
        return std::nullopt;
    }
}

bool IsFinalCallState(int state) {
    return state == MM_CALL_STATE_TERMINATED;
}

bool ModemInService(int modemState, bool emergencyOnly) {
    return modemState >= MM_MODEM_STATE_REGISTERED && !emergencyOnly;
}

std::pair<std::wstring, std::string> OutageWords(bool present, bool voice, int modemState,
                                                 bool emergencyOnly) {
    if (!present) {
        return {L"No modem", "ModemManager no longer lists the modem"};
    }
    if (!voice) {
        return {L"No voice", "the modem has no Voice interface"};
    }
    if (emergencyOnly) {
        return {L"Emergency calls only", "Voice.EmergencyOnly"};
    }
    const std::string detail = "Modem.State " + std::to_string(modemState);
    switch (modemState) {
    case MM_MODEM_STATE_LOCKED:
        return {L"SIM locked", detail};
    case MM_MODEM_STATE_DISABLED:
    case MM_MODEM_STATE_DISABLING:
        return {L"Modem off", detail};
    case MM_MODEM_STATE_FAILED:
        return {L"Modem failed", detail};
    default:
        return {L"No network", detail};
    }
}

LONG LineErrorFor(const std::string& busError) {
    const std::string core = std::string(MM_DBUS_ERROR_PREFIX) + ".Core.";
    if (StartsWith(busError, (core + "Unauthorized").c_str()) ||
        StartsWith(busError, (core + "WrongState").c_str()) ||
        StartsWith(busError, "org.freedesktop.DBus.Error.ServiceUnknown") ||
        StartsWith(busError, "org.freedesktop.DBus.Error.UnknownObject") ||
        StartsWith(busError, "org.freedesktop.DBus.Error.UnknownMethod") ||
        StartsWith(busError, "org.freedesktop.DBus.Error.NoReply") || busError == "no system bus") {
        return LINEERR_CALLUNAVAIL;
    }
    if (StartsWith(busError, (core + "InvalidArgs").c_str())) {
        return LINEERR_INVALADDRESS;
    }
    return LINEERR_OPERATIONFAILED;
}

} // namespace platform::tapi::modem
