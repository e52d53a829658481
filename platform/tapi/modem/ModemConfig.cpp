#include "platform/tapi/modem/ModemConfig.h"

#include <charconv>

namespace platform::tapi::modem {

bool ParseModemConfig(const std::map<std::string, std::string>& keys, ModemConfig* config,
                      std::string* error) {
    ModemConfig result;
    for (const auto& [key, value] : keys) {
        if (key == "service") {
            continue;
        }
        if (key == "modem") {
            result.modem = value;
        } else if (key == "wait_ms") {
            int ms = -1;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), ms);
            if (ec != std::errc() || end != value.data() + value.size() || ms < 0 || ms > 60000) {
                *error = key + ": '" + value + "' is not a whole number from 0 to 60000";
                return false;
            }
            result.waitMs = ms;
        } else {
            *error = key + ": not a key of the modem service (use modem, wait_ms)";
            return false;
        }
    }
    *config = result;
    return true;
}

} // namespace platform::tapi::modem
