// The account's digest credentials, as the SIP stack asks for them when a request is challenged (its
// authentication handler). `account` is the SipConfig. Without a password the challenge is not answered,
// and the request fails.
#pragma once

namespace platform::tapi::sipline {

int AnswerChallenge(char** user, char** password, const char* realm, void* account);

} // namespace platform::tapi::sipline
