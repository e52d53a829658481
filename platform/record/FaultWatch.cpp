#include "platform/record/FaultWatch.h"

#include "platform/record/Detail.h"
#include "platform/record/Record.h"
#include "platform/status/Indicators.h"
#include "platform/win/Utf8.h"

#include <atomic>

namespace platform::record {
namespace {

std::atomic<int> g_listener{0};

} // namespace

void WatchIndicators() {
    const int id = status::AddListener([](const status::Raised& now) {
        const std::string what = status::IndicatorName(now.which);
        if (now.text.empty()) {
            Note("recovered", DetailText({{"what", what}}));
        } else {
            Note("fault", DetailText({{"what", what}, {"text", ToUtf8(now.text)}, {"detail", now.detail}}));
        }
    });
    if (const int old = g_listener.exchange(id)) {
        status::RemoveListener(old);
    }
}

void UnwatchIndicators() {
    if (const int old = g_listener.exchange(0)) {
        status::RemoveListener(old);
    }
}

} // namespace platform::record
