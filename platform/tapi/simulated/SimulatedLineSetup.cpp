#include "platform/tapi/simulated/SimulatedLineSetup.h"

#include "platform/tapi/InstalledService.h"
#include "platform/tapi/simulated/LineCommand.h"

namespace platform::tapi {

std::shared_ptr<SimulatedLineService> StartSimulatedLine(const std::map<std::string, std::string>& keys,
                                                         std::string* error) {
    SimulatedLineConfig config;
    std::string why;
    if (!ParseSimulatedLineConfig(keys, &config, &why)) {
        *error = "line profile: " + why;
        return nullptr;
    }
    auto service = std::make_shared<SimulatedLineService>(std::move(config));
    InstallService(service);
    RegisterLineCommand(service);
    return service;
}

} // namespace platform::tapi
