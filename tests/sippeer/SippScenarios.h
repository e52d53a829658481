// sipp scenarios (XML) for the called side: far ends that answer with a chosen status, ring until the
// caller cancels, challenge for digest credentials, or act as a registrar. Run them with
// SippPeer::Start. Each handles one call (or one registration dialog); sipp's exit code tells whether
// the caller did what the scenario expects (0), and its message trace shows what the caller sent.
//
// The digest challenges carry realm, nonce ("lullwatch-nonce") and algorithm MD5, without qop.
#pragma once

#include <string>

namespace sippeer::uas {

enum class Challenge {
    Www401,   // 401 Unauthorized with WWW-Authenticate; the answer comes in Authorization
    Proxy407, // 407 Proxy Authentication Required with Proxy-Authenticate; the answer in Proxy-Authorization
};

inline constexpr const char* kNonce = "lullwatch-nonce";

// INVITE; 100 Trying, 180 Ringing, `ringMs` of ringing, then the final `code` (300..699) with `reason`;
// ACK.
std::string Respond(int code, const std::string& reason, int ringMs = 0);

// INVITE; 180 Ringing; CANCEL; 200 OK to the CANCEL, 487 Request Terminated to the INVITE; ACK.
std::string RingUntilCancel();

// INVITE; 180 Ringing; 200 OK with an SDP answer (PCMU at sipp's media port); ACK. Then it waits for the
// caller's BYE, or with `hangUpAfterMs` >= 0 sends its own BYE that long after the ACK.
std::string Answer(int hangUpAfterMs = -1);

// INVITE; the challenge; ACK; INVITE again with credentials. 200 OK with an SDP answer when they are
// right for `user` and `password`, then ACK and the caller's BYE. Otherwise 403 Forbidden, ACK, and the
// scenario fails (exit code 1) with "credentials did not verify" among its errors.
//
// sipp checks the digest itself only in an Authorization header; for Proxy407 it accepts any
// Proxy-Authorization for `user` in `realm` with the nonce, so check the response with
// SippPeer::CredentialsValid as well.
std::string ChallengeThenAnswer(const std::string& user, const std::string& password,
                                const std::string& realm, Challenge challenge);

// REGISTER; 401 challenge; REGISTER with credentials; 200 OK echoing Contact (with its expires
// parameter) and the Expires header if there is one, when they are right, else 403 and the scenario fails.
// With `keepAnswering` it then answers every further REGISTER of that registration (refreshes, the final one
// with Expires 0): 200 when its credentials are right, else a new 401 challenge, until the peer is stopped;
// otherwise the scenario ends after the first 200.
std::string Registrar(const std::string& user, const std::string& password, const std::string& realm,
                      bool keepAnswering = true);

} // namespace sippeer::uas
