#include "platform/tapi/sip/Credentials.h"

#include "platform/tapi/sip/Re.h"
#include "platform/tapi/sip/SipConfig.h"

namespace platform::tapi::sipline {

int AnswerChallenge(char** user, char** password, const char*, void* account) {
    const auto* config = static_cast<const SipConfig*>(account);
    if (config->password.empty()) {
        return EAUTH;
    }
    const int err = str_dup(user, config->authUser.c_str());
    return err != 0 ? err : str_dup(password, config->password.c_str());
}

} // namespace platform::tapi::sipline
