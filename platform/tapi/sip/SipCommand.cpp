#include "platform/tapi/sip/SipCommand.h"

#include "platform/automation/DeviceCommands.h"

namespace platform::tapi::sipline {
namespace {

const char* RegistrationName(SipLineService::Registration registration) {
    switch (registration) {
    case SipLineService::Registration::None:
        return "none";
    case SipLineService::Registration::Pending:
        return "pending";
    case SipLineService::Registration::Registered:
        return "registered";
    case SipLineService::Registration::Failed:
        return "failed";
    }
    return "none";
}

} // namespace

void RegisterSipCommand(const std::shared_ptr<SipLineService>& service, const std::string& account) {
    std::weak_ptr<SipLineService> weak = service;
    automation::RegisterDeviceCommand(
        "sip", "the SIP telephony service: status",
        [weak, account](const std::vector<std::string>& args) -> automation::CommandResult {
            auto locked = weak.lock();
            if (!locked) {
                return {false, "the SIP service is not running"};
            }
            if (args.size() != 1 || args[0] != "status") {
                return {false, "sip status"};
            }
            const auto figures = locked->Measure();
            return {true, "account=" + account + " registration=" + RegistrationName(figures.registration) +
                              " calls=" + std::to_string(figures.calls) +
                              " sent=" + std::to_string(figures.packetsSent) +
                              " received=" + std::to_string(figures.packetsReceived) +
                              (figures.registrationProblem.empty()
                                   ? std::string()
                                   : " problem=\"" + figures.registrationProblem + "\"")};
        });
}

} // namespace platform::tapi::sipline
