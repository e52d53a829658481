// What the far end's answers and the call's events mean to the line API: the call state and, for a
// disconnected call, the disconnect mode. This is the one table of that mapping.
//
//   SIP answer or event                            call state      disconnect mode
//   INVITE sent                                    DIALING
//   100 Trying                                     PROCEEDING
//   180 to 199 (ringing, queued, session progress) RINGBACK
//   200 to 299                                     CONNECTED
//   300 to 399 (redirections are not followed)     DISCONNECTED    FORWARDED
//   401, 407 (credentials missing or refused)      DISCONNECTED    UNAVAIL
//   403, 603 and any other 6xx but 600 and 606    DISCONNECTED    REJECT
//   404, 410, 416, 484, 485                        DISCONNECTED    BADADDRESS
//   408, 480, 487                                  DISCONNECTED    NOANSWER
//   486, 600                                       DISCONNECTED    BUSY
//   415, 488, 606                                  DISCONNECTED    INCOMPATIBLE
//   502, 503, 504                                  DISCONNECTED    UNREACHABLE
//   any other 4xx                                  DISCONNECTED    UNKNOWN
//   any other 5xx                                  DISCONNECTED    UNAVAIL
//   no answer at all within response_timeout,
//     or the transport failed (refused, reset)     DISCONNECTED    UNREACHABLE
//   still unanswered after no_answer_timeout       DISCONNECTED    NOANSWER  (the call is cancelled)
//   the answer offers no sound format we offered   DISCONNECTED    INCOMPATIBLE  (BYE sent)
//   BYE from the far end                           DISCONNECTED    NORMAL
//   no sound from the far end for rtp_timeout      DISCONNECTED    UNREACHABLE  (BYE sent)
#pragma once

#include "platform/tapi/Tapi.h"

#include <cstdint>

namespace platform::tapi::sipline {

struct CallOutcome {
    DWORD state;
    DWORD mode; // 0 unless state is LINECALLSTATE_DISCONNECTED
};

// The state a response with status `code` (100..699) puts the call in.
CallOutcome ForStatus(std::uint16_t code);

// The call's own events.
enum class CallEvent {
    InviteSent,
    NoResponse,
    TransportFailed,
    NoAnswer,
    NoCommonFormat,
    FarEndHungUp,
    SoundLost
};
CallOutcome ForEvent(CallEvent event);

} // namespace platform::tapi::sipline
