// The account's registration with its registrar, kept up in the background on the SIP stack's thread:
// renewed before it lapses, and after a failure tried afresh every register interval (at most every 30
// s), sooner than the stack's own back-off would. Reports each change between registered and not.
#pragma once

#include "platform/tapi/sip/SipConfig.h"

#include <functional>
#include <string>

struct sipreg;
struct tmr;
struct sip_msg;

namespace platform::tapi::sipline {

class SipStack;

class SipRegistration {
public:
    // `changed(true, ...)` when registered, `changed(false, why)` when an attempt fails (why: the
    // registrar's status line, "408 Request Timeout", or the error); only on a change (the first answer
    // always is one). Called on the stack's thread.
    using Changed = std::function<void(bool registered, const std::string& why)>;
    // `config` is kept by reference and must last as long as the stack's thread runs: the stack goes on
    // unregistering after this object is gone, answering the registrar's challenge with its credentials.
    SipRegistration(SipStack& stack, const SipConfig& config, Changed changed);
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
    const SipConfig& config_;
    const Changed changed_;
    struct ::sipreg* registration_ = nullptr;
    struct ::tmr* retry_;
    int registered_ = -1; // -1 not yet known, 0 no, 1 yes
};

} // namespace platform::tapi::sipline
