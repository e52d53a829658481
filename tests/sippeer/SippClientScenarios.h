// sipp scenarios (XML) for the calling side, run with SippPeer::StartClient against a far end: they
// call or register and check the answers they get (sipp's exit code 0 when every expected message came).
// The self-tests use them to prove the peers; they also serve tests that need a plain SIP caller.
#pragma once

#include <string>

namespace sippeer::uac {

// INVITE to `user` (with a PCMU offer); provisional replies are optional; expects the final `code`. For
// 2xx it sends ACK, stays `holdMs` in the call and hangs up (BYE, expecting 200); otherwise it sends ACK.
std::string Call(const std::string& user, int code, int holdMs = 0);

// INVITE to `user`; waits for 180 Ringing, then CANCEL; expects 200 to the CANCEL and 487 to the INVITE;
// ACK.
std::string CallAndCancel(const std::string& user);

// INVITE to `user`; expects the challenge `challengeCode` (401 or 407) and answers it with `authUser`
// and `password`; then expects `code`: 200 (ACK, BYE) or anything else (ACK).
std::string CallWithCredentials(const std::string& user, int challengeCode, const std::string& authUser,
                                const std::string& password, int code);

// REGISTER `user` (Contact with expires=60); expects a 401 challenge, answers it, and expects `code`.
// Then `refreshes` more REGISTERs with the same credentials, each expecting 200; the last of them
// unregisters (expires=0).
std::string Register(const std::string& user, const std::string& password, int code, int refreshes = 0);

} // namespace sippeer::uac
