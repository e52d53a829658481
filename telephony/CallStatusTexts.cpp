#include "telephony/CallStatusTexts.h"

namespace {

struct CallStateRow {
    DWORD state;
    const wchar_t* text; // nullptr: the disconnect mode's text
    bool endsCall;
};

constexpr CallStateRow kCallStates[] = {
    {LINECALLSTATE_IDLE, L"Line is idle", false},
    {LINECALLSTATE_DIALTONE, L"Dial tone", false},
    {LINECALLSTATE_DIALING, L"Dialing...", false},
    {LINECALLSTATE_RINGBACK, L"Ring back", false},
    {LINECALLSTATE_BUSY, L"Line busy, shutting down.", true},
    {LINECALLSTATE_SPECIALINFO, L"Special Information, couldn't dial number", true},
    {LINECALLSTATE_CONNECTED, L"Connected", false},
    {LINECALLSTATE_PROCEEDING, L"Dialing completed, call proceeding.", false},
    {LINECALLSTATE_DISCONNECTED, nullptr, true},
};
constexpr const wchar_t* kOtherCallState = L" ";

struct DisconnectRow {
    DWORD mode;
    const wchar_t* text;
};

constexpr DisconnectRow kDisconnectModes[] = {
    {LINEDISCONNECTMODE_NORMAL, L"Remote party disconnected"},
    {LINEDISCONNECTMODE_REJECT, L"Remote Party rejected call"},
    {LINEDISCONNECTMODE_PICKUP, L"Disconnected: Local phone picked up"},
    {LINEDISCONNECTMODE_FORWARDED, L"Disconnected: Forwarded"},
    {LINEDISCONNECTMODE_BUSY, L"Disconnected: Busy"},
    {LINEDISCONNECTMODE_NOANSWER, L"Disconnected: No Answer"},
    {LINEDISCONNECTMODE_BADADDRESS, L"Disconnected: Bad address"},
    {LINEDISCONNECTMODE_UNREACHABLE, L"Disconnected: Unreachable"},
    {LINEDISCONNECTMODE_CONGESTION, L"Disconnected: Congestion"},
    {LINEDISCONNECTMODE_INCOMPATIBLE, L"Disconnected: Incompatible"},
    {LINEDISCONNECTMODE_UNAVAIL, L"Disconnected: Unavailable"},
    {LINEDISCONNECTMODE_NODIALTONE, L"Disconnected: No dial tone"},
};
constexpr const wchar_t* kOtherDisconnectMode = L"Disconnected: Unknown reason";

struct LineDevStateRow {
    DWORD state;
    const wchar_t* text;
};

constexpr LineDevStateRow kLineDevStates[] = {
    {LINEDEVSTATE_DISCONNECTED, L"The line selected is disconnected."},
    {LINEDEVSTATE_OUTOFSERVICE, L"The line selected is out of service."},
    {LINEDEVSTATE_MAINTENANCE, L"The line selected is out for maintenance."},
};

} // namespace

const wchar_t* DisconnectText(DWORD disconnectMode) {
    for (const DisconnectRow& row : kDisconnectModes) {
        if (row.mode == disconnectMode) {
            return row.text;
        }
    }
    return kOtherDisconnectMode;
}

StatusText CallStateStatus(DWORD state, DWORD disconnectMode) {
    for (const CallStateRow& row : kCallStates) {
        if (row.state == state) {
            return {row.text != nullptr ? row.text : DisconnectText(disconnectMode), row.endsCall};
        }
    }
    return {kOtherCallState, false};
}

StatusText LineDevStateStatus(DWORD state) {
    for (const LineDevStateRow& row : kLineDevStates) {
        if (row.state == state) {
            return {row.text, true};
        }
    }
    return {nullptr, false};
}
