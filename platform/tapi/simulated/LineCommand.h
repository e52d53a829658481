// The automation command "line", which drives the simulated telephony service and reads back what the
// program did with the line API. Words are separated by blanks; numbers are decimal or 0x hexadecimal;
// names may be short (dialing) or full (LINECALLSTATE_DIALING), in any letter case.
//
//   line status
//       the service's devices, the current call script, the open lines and the calls in progress
//   line script <script>
//       sets the call script for calls placed from now on (presets and steps as in CallScript.h):
//       "line script busy", "line script answer-then-hangup 20",
//       "line script 0:reply 600:dialing 2600:ringback 8000:connected 20000:disconnected/normal"
//   line event <message> [<param1> [<param2> [<param3>]]] [device=<value>]
//       reports a line or call event (see SimulatedLineService::Inject). <message>: callstate, close,
//       linedevstate, reply, create or a number. Parameter names by message:
//         callstate     <state> [<disconnect mode>] [<param3>]   line event callstate disconnected busy
//         close                                                  line event close
//         linedevstate  <state> [<param2> [<param3>]]            line event linedevstate outofservice
//                       with reinit, param2 a message name and param3 a device state or number:
//                                                                line event linedevstate reinit linedevstate
//                                                                outofservice line event linedevstate reinit
//                                                                create 3
//         reply         [<request>] [<result code>]              line event reply 7 callunavail
//         create        [<device number>]                        line event create
//       device=<value> delivers the message exactly as given, changing nothing:
//                                                                line event close device=0x1234
//   line calls
//       one line per call placed, oldest first:
//       <hCall> "<number>" placed=<ms>ms state=<last state> [ending=<state>[/<disconnect mode>]]
//       end=<how> script="<script>"   (ending: the busy, special information or disconnected state that
//       ended the call, also when a later idle state hides it)
//   line log [<from>]
//       the journal of line API calls from entry <from> (default 1), one per line:
//       <seq> <ms>ms <function> <arguments> -> <result> [<outcome>]
//   line wait <function> [<from>] [timeout=<ms>]
//       waits (real time, default 5000 ms) for a finished call of <function> (lineMakeCall, lineDrop,
//       lineDeallocateCall, lineClose, lineShutdown ...) numbered <from> or later; answers its entry
//   line clear
//       empties the journal and the list of calls
#pragma once

#include "platform/automation/DeviceCommands.h"
#include "platform/tapi/simulated/SimulatedLineService.h"

#include <memory>

namespace platform::tapi {

// Runs one "line" command (`args` are the words after "line") against `service`.
automation::CommandResult RunLineCommand(SimulatedLineService& service, const std::vector<std::string>& args);

// Registers the command word "line" for `service` (kept as a weak reference). Without a simulated line
// (another service, or none) "line log" and "line wait" still read the journal.
void RegisterLineCommand(const std::shared_ptr<SimulatedLineService>& service);

} // namespace platform::tapi
