#include "platform/tapi/simulated/SimulatedLineConfig.h"

#include "platform/tapi/TapiNames.h"
#include "platform/win/Utf8.h"

#include <charconv>

namespace platform::tapi {
namespace {

constexpr std::size_t kMostDevices = 64;
constexpr std::uint64_t kMostCapsSize = 65536;

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<std::uint64_t> Count(const std::string& text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

bool ParseMedia(const std::string& text, DWORD* modes, std::string* error) {
    DWORD result = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto bar = text.find('|', start);
        const std::string part =
            Trim(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (part != "none") {
            auto mode = ParseTapiValue(TapiNameFamily::MediaMode, part);
            if (!mode) {
                *error = "unknown media mode \"" + part + "\" (use " +
                         TapiShortNames(TapiNameFamily::MediaMode) + ", none or a number)";
                return false;
            }
            result |= *mode;
        }
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    *modes = result;
    return true;
}

bool ParseDeviceKey(const std::string& field, const std::string& value, SimulatedDevice* device,
                    std::string* error) {
    if (field == "media") {
        return ParseMedia(value, &device->mediaModes, error);
    }
    if (field == "name") {
        device->name = value == "none" ? std::nullopt : std::optional(FromUtf8(value));
        return true;
    }
    if (field == "caps-size") {
        auto size = Count(value);
        if (!size || *size > kMostCapsSize) {
            *error = "\"" + value + "\" is not a size in bytes up to " + std::to_string(kMostCapsSize);
            return false;
        }
        device->capsSize = static_cast<DWORD>(*size);
        return true;
    }
    if (field == "negotiate") {
        if (value != "ok" && value != "fail") {
            *error = "\"" + value + "\" must be ok or fail";
            return false;
        }
        device->negotiationFails = value == "fail";
        return true;
    }
    *error = "unknown device setting \"" + field + "\" (use media, name, caps-size or negotiate)";
    return false;
}

bool ParseInitKey(const std::string& key, const std::string& value, SimulatedLineConfig* config,
                  std::string* error) {
    if (key == "init.reinit") {
        config->reinitAlways = value == "always";
        config->reinitMs = 0;
        if (value == "never" || value == "always") {
            return true;
        }
        auto ms = Count(value);
        if (!ms) {
            *error = "\"" + value + "\" must be never, always or a number of milliseconds";
            return false;
        }
        config->reinitMs = *ms;
        return true;
    }
    auto code = ParseTapiValue(TapiNameFamily::Error, value);
    if (!code || (*code != 0 && static_cast<LONG>(*code) >= 0)) {
        *error = "\"" + value + "\" is not a LINEERR_ code (a name such as nomem, or a number)";
        return false;
    }
    config->initError = static_cast<LONG>(*code);
    return true;
}

bool ParseKey(const std::string& key, const std::string& value, SimulatedLineConfig* config,
              std::string* error) {
    if (key == "service" || key == "devices") {
        return true;
    }
    if (key == "init.reinit" || key == "init.error") {
        return ParseInitKey(key, value, config, error);
    }
    if (key == "call-script") {
        return ParseCallScript(value, &config->script, error);
    }
    if (key.rfind("device.", 0) == 0) {
        const auto dot = key.find('.', 7);
        auto index = dot == std::string::npos ? std::nullopt : Count(key.substr(7, dot - 7));
        if (!index) {
            *error = "a device key is device.<number>.<setting>";
            return false;
        }
        if (*index >= config->devices.size()) {
            *error = "there are only " + std::to_string(config->devices.size()) +
                     " devices (numbered from 0); set devices = <n> first";
            return false;
        }
        return ParseDeviceKey(key.substr(dot + 1), value, &config->devices[*index], error);
    }
    *error = "unknown key (use devices, device.<i>.media|name|caps-size|negotiate, init.reinit, "
             "init.error or call-script)";
    return false;
}

} // namespace

bool ParseSimulatedLineConfig(const std::map<std::string, std::string>& keys, SimulatedLineConfig* config,
                              std::string* error) {
    SimulatedLineConfig parsed;
    if (auto it = keys.find("devices"); it != keys.end()) {
        auto count = Count(Trim(it->second));
        if (!count || *count > kMostDevices) {
            *error =
                "devices: \"" + it->second + "\" is not a number from 0 to " + std::to_string(kMostDevices);
            return false;
        }
        parsed.devices.assign(*count, SimulatedDevice{});
    }
    for (const auto& [key, raw] : keys) {
        std::string why;
        if (!ParseKey(key, Trim(raw), &parsed, &why)) {
            *error = key + ": " + why;
            return false;
        }
    }
    *config = std::move(parsed);
    return true;
}

} // namespace platform::tapi
