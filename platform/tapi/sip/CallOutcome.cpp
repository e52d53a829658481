#include "platform/tapi/sip/CallOutcome.h"

namespace platform::tapi::sipline {
namespace {

struct Row {
    std::uint16_t low;
    std::uint16_t high;
    CallOutcome outcome;
};

constexpr CallOutcome Gone(DWORD mode) {
    return {LINECALLSTATE_DISCONNECTED, mode};
}

// The first row that holds the code wins: single codes first, then the classes.
constexpr Row kStatusRows[] = {
    {100, 100, {LINECALLSTATE_PROCEEDING, 0}},         {101, 199, {LINECALLSTATE_RINGBACK, 0}},
    {200, 299, {LINECALLSTATE_CONNECTED, 0}},          {300, 399, Gone(LINEDISCONNECTMODE_FORWARDED)},
    {401, 401, Gone(LINEDISCONNECTMODE_UNAVAIL)},      {407, 407, Gone(LINEDISCONNECTMODE_UNAVAIL)},
    {403, 403, Gone(LINEDISCONNECTMODE_REJECT)},       {603, 603, Gone(LINEDISCONNECTMODE_REJECT)},
    {404, 404, Gone(LINEDISCONNECTMODE_BADADDRESS)},   {410, 410, Gone(LINEDISCONNECTMODE_BADADDRESS)},
    {416, 416, Gone(LINEDISCONNECTMODE_BADADDRESS)},   {484, 485, Gone(LINEDISCONNECTMODE_BADADDRESS)},
    {408, 408, Gone(LINEDISCONNECTMODE_NOANSWER)},     {480, 480, Gone(LINEDISCONNECTMODE_NOANSWER)},
    {487, 487, Gone(LINEDISCONNECTMODE_NOANSWER)},     {486, 486, Gone(LINEDISCONNECTMODE_BUSY)},
    {600, 600, Gone(LINEDISCONNECTMODE_BUSY)},         {415, 415, Gone(LINEDISCONNECTMODE_INCOMPATIBLE)},
    {488, 488, Gone(LINEDISCONNECTMODE_INCOMPATIBLE)}, {606, 606, Gone(LINEDISCONNECTMODE_INCOMPATIBLE)},
    {502, 504, Gone(LINEDISCONNECTMODE_UNREACHABLE)},  {400, 499, Gone(LINEDISCONNECTMODE_UNKNOWN)},
    {500, 599, Gone(LINEDISCONNECTMODE_UNAVAIL)},      {600, 699, Gone(LINEDISCONNECTMODE_REJECT)},
};

} // namespace

CallOutcome ForStatus(std::uint16_t code) {
    for (const Row& row : kStatusRows) {
        if (code >= row.low && code <= row.high) {
            return row.outcome;
        }
    }
    return Gone(LINEDISCONNECTMODE_UNKNOWN);
}

CallOutcome ForEvent(CallEvent event) {
    switch (event) {
    case CallEvent::InviteSent:
        return {LINECALLSTATE_DIALING, 0};
    case CallEvent::NoResponse:
    case CallEvent::TransportFailed:
    case CallEvent::SoundLost:
        return Gone(LINEDISCONNECTMODE_UNREACHABLE);
    case CallEvent::NoAnswer:
        return Gone(LINEDISCONNECTMODE_NOANSWER);
    case CallEvent::NoCommonFormat:
        return Gone(LINEDISCONNECTMODE_INCOMPATIBLE);
    case CallEvent::FarEndHungUp:
        return Gone(LINEDISCONNECTMODE_NORMAL);
    }
    return Gone(LINEDISCONNECTMODE_UNKNOWN);
}

} // namespace platform::tapi::sipline
