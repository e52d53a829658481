// The status texts of the call window: what each call state, disconnect mode and line device state is
// shown as, and whether it ends the call. Every lookup compares for equality, so a value with several
// bits set matches no row.
#pragma once

#include "platform/tapi/Tapi.h"

struct StatusText {
    const wchar_t* text; // nullptr: the event is ignored
    bool endsCall;
};

// LINE_CALLSTATE: the text for `state` (a disconnection by `disconnectMode`); an unknown state shows a
// single blank and goes on.
StatusText CallStateStatus(DWORD state, DWORD disconnectMode);

// The text of a disconnection; an unknown mode (LINEDISCONNECTMODE_UNKNOWN included) gives
// "Disconnected: Unknown reason".
const wchar_t* DisconnectText(DWORD disconnectMode);

// LINE_LINEDEVSTATE: the text of a state that ends the call (disconnected, out of service, maintenance),
// or no text for every other state. LINEDEVSTATE_REINIT is not handled here.
StatusText LineDevStateStatus(DWORD state);
