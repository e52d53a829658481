#include "platform/tapi/TapiNames.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <span>

namespace platform::tapi {
namespace {

struct NamedValue {
    const char* shortName;
    DWORD value;
};

constexpr NamedValue kMessages[] = {
    {"addressstate", LINE_ADDRESSSTATE},
    {"callinfo", LINE_CALLINFO},
    {"callstate", LINE_CALLSTATE},
    {"close", LINE_CLOSE},
    {"devspecific", LINE_DEVSPECIFIC},
    {"devspecificfeature", LINE_DEVSPECIFICFEATURE},
    {"gatherdigits", LINE_GATHERDIGITS},
    {"generate", LINE_GENERATE},
    {"linedevstate", LINE_LINEDEVSTATE},
    {"monitordigits", LINE_MONITORDIGITS},
    {"monitormedia", LINE_MONITORMEDIA},
    {"monitortone", LINE_MONITORTONE},
    {"reply", LINE_REPLY},
    {"request", LINE_REQUEST},
    {"create", LINE_CREATE},
};

constexpr NamedValue kCallStates[] = {
    {"idle", LINECALLSTATE_IDLE},
    {"offering", LINECALLSTATE_OFFERING},
    {"accepted", LINECALLSTATE_ACCEPTED},
    {"dialtone", LINECALLSTATE_DIALTONE},
    {"dialing", LINECALLSTATE_DIALING},
    {"ringback", LINECALLSTATE_RINGBACK},
    {"busy", LINECALLSTATE_BUSY},
    {"specialinfo", LINECALLSTATE_SPECIALINFO},
    {"connected", LINECALLSTATE_CONNECTED},
    {"proceeding", LINECALLSTATE_PROCEEDING},
    {"onhold", LINECALLSTATE_ONHOLD},
    {"conferenced", LINECALLSTATE_CONFERENCED},
    {"onholdpendconf", LINECALLSTATE_ONHOLDPENDCONF},
    {"onholdpendtransfer", LINECALLSTATE_ONHOLDPENDTRANSFER},
    {"disconnected", LINECALLSTATE_DISCONNECTED},
    {"unknown", LINECALLSTATE_UNKNOWN},
};

constexpr NamedValue kDisconnectModes[] = {
    {"normal", LINEDISCONNECTMODE_NORMAL},
    {"unknown", LINEDISCONNECTMODE_UNKNOWN},
    {"reject", LINEDISCONNECTMODE_REJECT},
    {"pickup", LINEDISCONNECTMODE_PICKUP},
    {"forwarded", LINEDISCONNECTMODE_FORWARDED},
    {"busy", LINEDISCONNECTMODE_BUSY},
    {"noanswer", LINEDISCONNECTMODE_NOANSWER},
    {"badaddress", LINEDISCONNECTMODE_BADADDRESS},
    {"unreachable", LINEDISCONNECTMODE_UNREACHABLE},
    {"congestion", LINEDISCONNECTMODE_CONGESTION},
    {"incompatible", LINEDISCONNECTMODE_INCOMPATIBLE},
    {"unavail", LINEDISCONNECTMODE_UNAVAIL},
    {"nodialtone", LINEDISCONNECTMODE_NODIALTONE},
};

constexpr NamedValue kDevStates[] = {
    {"other", LINEDEVSTATE_OTHER},
    {"ringing", LINEDEVSTATE_RINGING},
    {"connected", LINEDEVSTATE_CONNECTED},
    {"disconnected", LINEDEVSTATE_DISCONNECTED},
    {"msgwaiton", LINEDEVSTATE_MSGWAITON},
    {"msgwaitoff", LINEDEVSTATE_MSGWAITOFF},
    {"inservice", LINEDEVSTATE_INSERVICE},
    {"outofservice", LINEDEVSTATE_OUTOFSERVICE},
    {"maintenance", LINEDEVSTATE_MAINTENANCE},
    {"open", LINEDEVSTATE_OPEN},
    {"close", LINEDEVSTATE_CLOSE},
    {"numcalls", LINEDEVSTATE_NUMCALLS},
    {"numcompletions", LINEDEVSTATE_NUMCOMPLETIONS},
    {"terminals", LINEDEVSTATE_TERMINALS},
    {"roammode", LINEDEVSTATE_ROAMMODE},
    {"battery", LINEDEVSTATE_BATTERY},
    {"signal", LINEDEVSTATE_SIGNAL},
    {"devspecific", LINEDEVSTATE_DEVSPECIFIC},
    {"reinit", LINEDEVSTATE_REINIT},
    {"lock", LINEDEVSTATE_LOCK},
    {"capschange", LINEDEVSTATE_CAPSCHANGE},
    {"configchange", LINEDEVSTATE_CONFIGCHANGE},
    {"translatechange", LINEDEVSTATE_TRANSLATECHANGE},
    {"complcancel", LINEDEVSTATE_COMPLCANCEL},
    {"removed", LINEDEVSTATE_REMOVED},
};

constexpr NamedValue kMediaModes[] = {
    {"unknown", LINEMEDIAMODE_UNKNOWN},
    {"interactivevoice", LINEMEDIAMODE_INTERACTIVEVOICE},
    {"automatedvoice", LINEMEDIAMODE_AUTOMATEDVOICE},
    {"datamodem", LINEMEDIAMODE_DATAMODEM},
    {"g3fax", LINEMEDIAMODE_G3FAX},
    {"tdd", LINEMEDIAMODE_TDD},
    {"g4fax", LINEMEDIAMODE_G4FAX},
    {"digitaldata", LINEMEDIAMODE_DIGITALDATA},
};
// Shorter spellings accepted when reading (never written).
constexpr NamedValue kMediaAliases[] = {
    {"voice", LINEMEDIAMODE_INTERACTIVEVOICE},
    {"data", LINEMEDIAMODE_DATAMODEM},
};

#define LULLWATCH_ERR(name)                                                                                  \
    { #name, static_cast < DWORD>(LINEERR_##name) }
constexpr NamedValue kErrors[] = {
    LULLWATCH_ERR(ALLOCATED),
    LULLWATCH_ERR(BADDEVICEID),
    LULLWATCH_ERR(CALLUNAVAIL),
    LULLWATCH_ERR(INCOMPATIBLEAPIVERSION),
    LULLWATCH_ERR(INCOMPATIBLEEXTVERSION),
    LULLWATCH_ERR(INUSE),
    LULLWATCH_ERR(INVALADDRESS),
    LULLWATCH_ERR(INVALAPPHANDLE),
    LULLWATCH_ERR(INVALAPPNAME),
    LULLWATCH_ERR(INVALCALLHANDLE),
    LULLWATCH_ERR(INVALCALLPARAMS),
    LULLWATCH_ERR(INVALCALLSTATE),
    LULLWATCH_ERR(INVALLINEHANDLE),
    LULLWATCH_ERR(INVALMEDIAMODE),
    LULLWATCH_ERR(INVALPARAM),
    LULLWATCH_ERR(INVALPOINTER),
    LULLWATCH_ERR(INVALPRIVSELECT),
    LULLWATCH_ERR(NODEVICE),
    LULLWATCH_ERR(NODRIVER),
    LULLWATCH_ERR(NOMEM),
    LULLWATCH_ERR(NOTREGISTERED),
    LULLWATCH_ERR(OPERATIONFAILED),
    LULLWATCH_ERR(OPERATIONUNAVAIL),
    LULLWATCH_ERR(RESOURCEUNAVAIL),
    LULLWATCH_ERR(STRUCTURETOOSMALL),
    LULLWATCH_ERR(TARGETNOTFOUND),
    LULLWATCH_ERR(UNINITIALIZED),
    LULLWATCH_ERR(REINIT),
};
#undef LULLWATCH_ERR

struct Family {
    const char* prefix;
    std::span<const NamedValue> names;
    std::span<const NamedValue> aliases;
};

Family FamilyOf(TapiNameFamily family) {
    switch (family) {
    case TapiNameFamily::Message:
        return {"LINE_", kMessages, {}};
    case TapiNameFamily::CallState:
        return {"LINECALLSTATE_", kCallStates, {}};
    case TapiNameFamily::DisconnectMode:
        return {"LINEDISCONNECTMODE_", kDisconnectModes, {}};
    case TapiNameFamily::DevState:
        return {"LINEDEVSTATE_", kDevStates, {}};
    case TapiNameFamily::MediaMode:
        return {"LINEMEDIAMODE_", kMediaModes, kMediaAliases};
    case TapiNameFamily::Error:
        return {"LINEERR_", kErrors, {}};
    case TapiNameFamily::Number:
        break;
    }
    return {"", {}, {}};
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::optional<DWORD> ParseNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return static_cast<DWORD>(value);
}

} // namespace

std::optional<DWORD> ParseTapiValue(TapiNameFamily family, std::string_view text) {
    if (auto number = ParseNumber(text)) {
        return number;
    }
    const Family f = FamilyOf(family);
    std::string name = Lower(text);
    const std::string prefix = Lower(f.prefix);
    if (!prefix.empty() && name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
        name.erase(0, prefix.size());
    }
    for (const auto& list : {f.names, f.aliases}) {
        for (const NamedValue& nv : list) {
            if (Lower(nv.shortName) == name) {
                return nv.value;
            }
        }
    }
    return std::nullopt;
}

std::string TapiValueName(TapiNameFamily family, DWORD value) {
    const Family f = FamilyOf(family);
    for (const NamedValue& nv : f.names) {
        if (nv.value == value) {
            std::string name = f.prefix;
            for (const char* p = nv.shortName; *p != '\0'; ++p) {
                name += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
            }
            return name;
        }
    }
    return Hex(value);
}

std::string TapiShortNames(TapiNameFamily family) {
    std::string out;
    for (const auto& list : {FamilyOf(family).names, FamilyOf(family).aliases}) {
        for (const NamedValue& nv : list) {
            if (!out.empty()) {
                out += ' ';
            }
            out += Lower(nv.shortName);
        }
    }
    return out;
}

std::string TapiResultText(LONG result) {
    if (result == 0) {
        return "0";
    }
    if (result > 0) {
        return "request " + std::to_string(result);
    }
    return TapiValueName(TapiNameFamily::Error, static_cast<DWORD>(result));
}

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

} // namespace platform::tapi
