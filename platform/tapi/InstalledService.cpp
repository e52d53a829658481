#include "platform/tapi/InstalledService.h"

#include "platform/tapi/LineHealth.h"
#include "platform/tapi/LineRegistry.h"

#include <mutex>

namespace platform::tapi {
namespace {

struct Installed {
    std::mutex mutex;
    std::shared_ptr<TelephonyService> service;
};

Installed& TheInstalled() {
    static Installed installed;
    return installed;
}

} // namespace

void InstallService(std::shared_ptr<TelephonyService> service) {
    if (service) {
        service->Attach(LineRegistry::Instance());
    }
    std::shared_ptr<TelephonyService> previous;
    {
        auto& i = TheInstalled();
        std::lock_guard lock(i.mutex);
        previous = std::move(i.service);
        i.service = std::move(service);
    }
    health::Reset();
    // `previous` is released here, outside the lock: its destructor may stop a thread of its own.
}

std::shared_ptr<TelephonyService> InstalledService() {
    auto& i = TheInstalled();
    std::lock_guard lock(i.mutex);
    return i.service;
}

std::wstring LineServiceLabel() {
    auto service = InstalledService();
    return service ? service->Label() : std::wstring();
}

} // namespace platform::tapi
