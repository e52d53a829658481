// The account's registration with its registrar, kept up in the background on the SIP stack's thread:
// renewed before it lapses, and after a failure tried afresh every register interval (at most every 30
// s), sooner than the stack's own back-off would. Reports each change between registered and not.
#pragma once

#include "platform/tapi/sip/SipConfig.h"

#include <functional>

struct sipreg;
struct tmr;
struct sip_msg;

namespace platform::tapi::sipline {

class SipStack;

class SipRegistration {
public:
    // `changed(true)` when registered, `changed(false)` when an attempt fails; only on a change (the
    // first answer always is one). Called on the stack's thread.
    SipRegistration(SipStack& stack, const SipConfig& config, std::function<void(bool)> changed);
    // Unregisters (on the stack's thread).
    ~SipRegistration();
    SipRegistration(const SipRegistration&) = delete;
    SipRegistration& operator=(const SipRegistration&) = delete;

    // Sends the first REGISTER. Returns 0 or an errno (and tries again later).
    int Start();

private:
    static void OnResponse(int err, const struct sip_msg* msg, void* arg);
    static void OnDrop(void* arg);
    static void OnRetry(void* arg);

    SipStack& stack_;
    const SipConfig config_;
    const std::function<void(bool)> changed_;
    struct ::sipreg* registration_ = nullptr;
    struct ::tmr* retry_;
    int registered_ = -1; // -1 not yet known, 0 no, 1 yes
};

} // namespace platform::tapi::sipline
