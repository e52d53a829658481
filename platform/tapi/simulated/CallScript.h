// What the simulated exchange does with a call after lineMakeCall: refuse it at once, or play a timed
// list of steps, each a LINE_REPLY to the make-call request or a call state with its detail. Step times
// are device milliseconds after lineMakeCall and follow the platform clock (and its speed factor).
//
// Written as text, in a profile value or after "line script":
//   answer-then-hangup <seconds>   dial tone, dialing, proceeding, ring back, connected at 8 s, then the
//                                  far end hangs up <seconds> later (DISCONNECTED + NORMAL)
//   busy                           ... proceeding, then BUSY at 3 s
//   no-answer [<seconds>]          ... ring back from 2.6 s, DISCONNECTED + NOANSWER after <seconds>
//                                  (default 30) of ringing
//   reject                         ... ring back, then DISCONNECTED + REJECT at 6 s
//   unreachable                    dial tone, dialing, then DISCONNECTED + UNREACHABLE at 3 s
//   refuse [<code>]                lineMakeCall returns <code> at once (default LINEERR_CALLUNAVAIL)
//   fail-reply [<code> [<ms>]]     LINE_REPLY carries <code> (default LINEERR_CALLUNAVAIL) after <ms>
//                                  (default 0); nothing else follows
//   silent                         the request succeeds, then nothing: the call waits to be hung up
// or as a literal list of steps "<ms>:<event>", separated by blanks or commas:
//   <ms>:reply[/<code>]            LINE_REPLY for the make-call request (0 when no code is given)
//   <ms>:<state>[/<mode>]          LINE_CALLSTATE; <state> a call state name (dialtone, dialing,
//                                  proceeding, ringback, connected, busy, disconnected, idle ...) or a
//                                  number; <mode> a disconnect mode name (normal, busy, noanswer,
//                                  reject, unreachable ...) or a number. Without a mode: NORMAL for
//                                  disconnected, LINEDIALTONEMODE_NORMAL for dialtone,
//                                  LINEBUSYMODE_STATION for busy, 0 otherwise.
// Times must not decrease. A list without a reply step gets "0:reply" in front; only the first reply
// step counts, and a failing reply ends the call (later steps are dropped). Codes are LINEERR_
// names (callunavail, operationfailed ...) or numbers. Example:
//   0:reply 200:dialtone 600:dialing 2600:ringback 8000:connected 38000:disconnected/normal
#pragma once

#include "platform/tapi/Tapi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::tapi {

struct ScriptStep {
    std::uint64_t atMs = 0;
    bool reply = false; // true: LINE_REPLY with `result`; false: LINE_CALLSTATE `state`, `mode`
    LONG result = 0;
    DWORD state = 0;
    DWORD mode = 0;

    bool operator==(const ScriptStep&) const = default;
};

struct CallScript {
    std::string text;            // the text it was read from, for status answers
    std::optional<LONG> refusal; // set: lineMakeCall answers this at once
    std::vector<ScriptStep> steps;
};

// Reads a script; on failure returns false and says why in `error`.
bool ParseCallScript(const std::string& text, CallScript* script, std::string* error);

// The script a new simulated line starts with: "answer-then-hangup 30".
CallScript DefaultCallScript();

} // namespace platform::tapi
