// The SIP telephony service is the module lullwatch-sip.so (libre, librem and the TLS libraries under
// them), loaded only when the device profile's line service is sip. The host starts the service through
// the module's one entry point, declared here; SipConfig, the account read from the profile, stays in
// the program.
#pragma once

#include "platform/tapi/TelephonyService.h"
#include "platform/tapi/sip/SipConfig.h"

#include <memory>
#include <string>

// Starts the SIP service for `config` and registers its automation command ("sip status"). True with
// `service` set; false with `error` when the SIP stack cannot start.
extern "C" bool lullwatch_sip_line_service(const platform::tapi::sipline::SipConfig& config,
                                           std::shared_ptr<platform::tapi::TelephonyService>* service,
                                           std::string* error);
