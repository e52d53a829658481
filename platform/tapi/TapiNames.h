// Names of the line API's values, for reading them from profiles and automation commands and for
// writing them into the journal. A value is read from its short name ("dialing", "normal",
// "callunavail"), its full name ("LINECALLSTATE_DIALING"), in any letter case, or a number (decimal or
// 0x hexadecimal, up to 0xFFFFFFFF).
#pragma once

#include "platform/tapi/Tapi.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::tapi {

enum class TapiNameFamily {
    Message,        // LINE_CALLSTATE ...        short: callstate, close, linedevstate, reply, create
    CallState,      // LINECALLSTATE_ ...        short: idle, dialtone, dialing, ringback, connected ...
    DisconnectMode, // LINEDISCONNECTMODE_ ...   short: normal, reject, busy, noanswer, unreachable ...
    DevState,       // LINEDEVSTATE_ ...         short: disconnected, outofservice, maintenance, reinit ...
    MediaMode,      // LINEMEDIAMODE_ ...        short: interactivevoice (or voice), datamodem (or data) ...
    Error,          // LINEERR_ ... (as 32-bit)  short: reinit, nodevice, callunavail ...
    Number,         // numbers only
};

std::optional<DWORD> ParseTapiValue(TapiNameFamily family, std::string_view text);

// The full name of `value` ("LINECALLSTATE_DIALING"), or "0x%08X" when it has none.
std::string TapiValueName(TapiNameFamily family, DWORD value);

// The short names a family accepts, separated by blanks (for error texts).
std::string TapiShortNames(TapiNameFamily family);

// A result code as the journal shows it: "0", "request 7" or "LINEERR_CALLUNAVAIL".
std::string TapiResultText(LONG result);

// "0x%08X".
std::string Hex(DWORD value);

} // namespace platform::tapi
