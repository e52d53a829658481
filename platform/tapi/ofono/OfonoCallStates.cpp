#include "platform/tapi/ofono/OfonoCallStates.h"

namespace platform::tapi::ofono {
namespace {

struct StateRow {
    std::string_view ofono;
    DWORD state;
};

constexpr StateRow kStates[] = {
    {"dialing", LINECALLSTATE_DIALING},           {"alerting", LINECALLSTATE_RINGBACK},
    {"active", LINECALLSTATE_CONNECTED},          {"held", LINECALLSTATE_ONHOLD},
    {"disconnected", LINECALLSTATE_DISCONNECTED},
};

struct ReasonRow {
    std::string_view reason;
    DWORD connected;    // the mode once the call was connected
    DWORD notConnected; // the mode before
};

constexpr ReasonRow kReasons[] = {
    {"remote", LINEDISCONNECTMODE_NORMAL, LINEDISCONNECTMODE_REJECT},
    {"network", LINEDISCONNECTMODE_UNREACHABLE, LINEDISCONNECTMODE_UNAVAIL},
    {"local", LINEDISCONNECTMODE_NORMAL, LINEDISCONNECTMODE_NORMAL},
};

struct ErrorRow {
    std::string_view name;
    LONG result;
};

constexpr ErrorRow kDialErrors[] = {
    {"org.ofono.Error.InvalidFormat", LINEERR_INVALADDRESS},
    {"org.ofono.Error.Busy", LINEERR_CALLUNAVAIL},
    {"org.ofono.Error.NotAvailable", LINEERR_CALLUNAVAIL},
};

} // namespace

std::optional<DWORD> CallStateFor(std::string_view ofonoState) {
    for (const auto& row : kStates) {
        if (row.ofono == ofonoState) {
            return row.state;
        }
    }
    return std::nullopt;
}

DWORD DisconnectModeFor(std::string_view reason, bool wasConnected) {
    for (const auto& row : kReasons) {
        if (row.reason == reason) {
            return wasConnected ? row.connected : row.notConnected;
        }
    }
    return LINEDISCONNECTMODE_UNKNOWN;
}

LONG DialErrorFor(std::string_view errorName) {
    for (const auto& row : kDialErrors) {
        if (row.name == errorName) {
            return row.result;
        }
    }
    return LINEERR_OPERATIONFAILED;
}

} // namespace platform::tapi::ofono
