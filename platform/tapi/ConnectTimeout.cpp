#include "platform/tapi/ConnectTimeout.h"

#include <atomic>

namespace platform::tapi {
namespace {

std::atomic<std::uint64_t> g_connectTimeoutMs{kDefaultConnectTimeoutMs};

} // namespace

void SetConnectTimeoutMs(std::uint64_t deviceMs) {
    g_connectTimeoutMs.store(deviceMs, std::memory_order_relaxed);
}

std::uint64_t ConnectTimeoutMs() {
    return g_connectTimeoutMs.load(std::memory_order_relaxed);
}

} // namespace platform::tapi
