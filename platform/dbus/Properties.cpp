#include "platform/dbus/Properties.h"

namespace platform::dbus {
namespace {

bool ReadBasic(sd_bus_message* m, char type, Value* value) {
    switch (type) {
    case 'b': {
        int b = 0;
        if (sd_bus_message_read_basic(m, 'b', &b) <= 0) {
            return false;
        }
        *value = b != 0;
        return true;
    }
    case 's':
    case 'o':
    case 'g': {
        const char* s = nullptr;
        if (sd_bus_message_read_basic(m, type, &s) <= 0) {
            return false;
        }
        *value = std::string(s);
        return true;
    }
    case 'y': {
        std::uint8_t n = 0;
        if (sd_bus_message_read_basic(m, 'y', &n) <= 0) {
            return false;
        }
        *value = std::int64_t{n};
        return true;
    }
    case 'i':
    case 'u': {
        std::uint32_t n = 0;
        if (sd_bus_message_read_basic(m, type, &n) <= 0) {
            return false;
        }
        *value = type == 'i' ? std::int64_t{static_cast<std::int32_t>(n)} : std::int64_t{n};
        return true;
    }
    case 'n':
    case 'q': {
        std::uint16_t n = 0;
        if (sd_bus_message_read_basic(m, type, &n) <= 0) {
            return false;
        }
        *value = type == 'n' ? std::int64_t{static_cast<std::int16_t>(n)} : std::int64_t{n};
        return true;
    }
    case 'x':
    case 't': {
        std::uint64_t n = 0;
        if (sd_bus_message_read_basic(m, type, &n) <= 0) {
            return false;
        }
        *value = static_cast<std::int64_t>(n);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

bool ReadVariant(sd_bus_message* m, Value* value) {
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(m, nullptr, &contents) <= 0 ||
        sd_bus_message_enter_container(m, SD_BUS_TYPE_VARIANT, contents) <= 0) {
        return false;
    }
    *value = std::monostate{};
    const std::string type = contents;
    if (type == "as" || type == "ao") {
        std::vector<std::string> texts;
        if (sd_bus_message_enter_container(m, 'a', type.c_str() + 1) > 0) {
            const char* s = nullptr;
            while (sd_bus_message_read_basic(m, type[1], &s) > 0) {
                texts.emplace_back(s);
            }
            sd_bus_message_exit_container(m);
        }
        *value = std::move(texts);
    } else if (type.size() != 1 || !ReadBasic(m, type[0], value)) {
        sd_bus_message_skip(m, type.c_str());
    }
    return sd_bus_message_exit_container(m) >= 0;
}

bool ReadProperties(sd_bus_message* m, Properties* properties) {
    if (sd_bus_message_enter_container(m, 'a', "{sv}") <= 0) {
        return false;
    }
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
        const char* name = nullptr;
        Value value;
        if (sd_bus_message_read_basic(m, 's', &name) <= 0 || !ReadVariant(m, &value)) {
            return false;
        }
        (*properties)[name] = std::move(value);
        sd_bus_message_exit_container(m);
    }
    return sd_bus_message_exit_container(m) >= 0;
}

bool BoolOf(const Properties& properties, const std::string& name, bool fallback) {
    auto it = properties.find(name);
    if (it == properties.end() || !std::holds_alternative<bool>(it->second)) {
        return fallback;
    }
    return std::get<bool>(it->second);
}

std::string TextOf(const Properties& properties, const std::string& name) {
    auto it = properties.find(name);
    if (it == properties.end() || !std::holds_alternative<std::string>(it->second)) {
        return {};
    }
    return std::get<std::string>(it->second);
}

std::vector<std::string> TextsOf(const Properties& properties, const std::string& name) {
    auto it = properties.find(name);
    if (it == properties.end() || !std::holds_alternative<std::vector<std::string>>(it->second)) {
        return {};
    }
    return std::get<std::vector<std::string>>(it->second);
}

} // namespace platform::dbus
