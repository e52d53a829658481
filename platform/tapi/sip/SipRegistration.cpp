#include "platform/tapi/sip/SipRegistration.h"

#include "platform/tapi/sip/Credentials.h"
#include "platform/tapi/sip/DialTarget.h"
#include "platform/tapi/sip/Re.h"
#include "platform/tapi/sip/SipStack.h"

#include <algorithm>
#include <cstring>

namespace platform::tapi::sipline {

namespace {

std::uint64_t RetryMs(const SipConfig& config) {
    return std::min<std::uint64_t>(30, config.registerInterval) * 1000;
}

} // namespace

SipRegistration::SipRegistration(SipStack& stack, const SipConfig& config, Changed changed)
    : stack_(stack), config_(config), changed_(std::move(changed)), retry_(new struct tmr) {
    tmr_init(retry_);
}

SipRegistration::~SipRegistration() {
    tmr_cancel(retry_);
    delete retry_;
    registration_ = static_cast<struct sipreg*>(mem_deref(registration_));
}

int SipRegistration::Start() {
    const std::string registrar = WithTransport(config_.registrar, config_.transport);
    const std::string account = config_.AccountUri();
    const std::string proxy = WithTransport(config_.outboundProxy, config_.transport, true);
    const char* routes[] = {proxy.c_str()};
    const int err = sipreg_register(&registration_, stack_.Sip(), registrar.c_str(), account.c_str(),
                                    config_.displayName.c_str(), account.c_str(), config_.registerInterval,
                                    config_.user.c_str(), routes, config_.outboundProxy.empty() ? 0 : 1, 0,
                                    AnswerChallenge, const_cast<SipConfig*>(&config_), false, OnResponse,
                                    this, nullptr, nullptr);
    if (err != 0) {
        registration_ = nullptr;
        tmr_start(retry_, RetryMs(config_), OnRetry, this);
    }
    return err;
}

// The failed registration goes at once, while the registrar is still out of reach, so that its
// farewell (an unregistration of the same contact) cannot cross the fresh registration that follows.
void SipRegistration::OnDrop(void* arg) {
    auto* self = static_cast<SipRegistration*>(arg);
    self->registration_ = static_cast<struct sipreg*>(mem_deref(self->registration_));
    tmr_start(self->retry_, RetryMs(self->config_), OnRetry, self);
}

void SipRegistration::OnRetry(void* arg) {
    (void)static_cast<SipRegistration*>(arg)->Start();
}

void SipRegistration::OnResponse(int err, const struct sip_msg* msg, void* arg) {
    auto* self = static_cast<SipRegistration*>(arg);
    if (err == 0 && msg != nullptr && msg->scode < 200) {
        return;
    }
    const bool now = err == 0 && msg != nullptr && msg->scode < 300;
    if (!now && !tmr_isrunning(self->retry_)) {
        // Dropped outside this handler, which still belongs to the failed registration.
        tmr_start(self->retry_, 0, OnDrop, self);
    }
    if (self->registered_ != static_cast<int>(now)) {
        self->registered_ = now ? 1 : 0;
        std::string why;
        if (msg != nullptr) {
            why = std::to_string(msg->scode) + " " + std::string(msg->reason.p, msg->reason.l);
        } else if (err != 0) {
            why = std::strerror(err);
        }
        self->changed_(now, why);
    }
}

} // namespace platform::tapi::sipline
