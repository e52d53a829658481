#include "platform/tapi/sip/SipModule.h"

#include "platform/tapi/sip/SipCommand.h"
#include "platform/tapi/sip/SipLineService.h"

extern "C" bool lullwatch_sip_line_service(const platform::tapi::sipline::SipConfig& config,
                                           std::shared_ptr<platform::tapi::TelephonyService>* service,
                                           std::string* error) {
    using platform::tapi::sipline::SipLineService;
    std::shared_ptr<SipLineService> started = SipLineService::Start(config, error);
    if (!started) {
        return false;
    }
    platform::tapi::sipline::RegisterSipCommand(started, config.AccountUri());
    *service = std::move(started);
    return true;
}
