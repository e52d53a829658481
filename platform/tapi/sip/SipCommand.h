// The automation command "sip", which reports what the SIP telephony service is doing:
//
//   sip status
//       account=<sip address> registration=none|pending|registered|failed calls=<n> sent=<n> received=<n>
//       calls: the calls the SIP stack holds; sent, received: the sound packets of the latest call
#pragma once

#include "platform/tapi/sip/SipLineService.h"

#include <memory>

namespace platform::tapi::sipline {

void RegisterSipCommand(const std::shared_ptr<SipLineService>& service, const std::string& account);

} // namespace platform::tapi::sipline
