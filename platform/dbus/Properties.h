// D-Bus property dictionaries (a{sv}) and single variants, read into plain values: the booleans, texts
// (strings and object paths), numbers and text lists that the services look at. Other types are skipped.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace platform::dbus {

using Value = std::variant<std::monostate, bool, std::int64_t, std::string, std::vector<std::string>>;
using Properties = std::map<std::string, Value>;

// Reads one variant ("v") at the message's current position; monostate for a type not listed above.
// False when the message holds no variant there.
bool ReadVariant(sd_bus_message* message, Value* value);

// Reads an a{sv} at the message's current position. False when the message holds none there.
bool ReadProperties(sd_bus_message* message, Properties* properties);

// The value of `name` as the type asked for, or `fallback` when it is missing or of another type.
bool BoolOf(const Properties& properties, const std::string& name, bool fallback = false);
std::string TextOf(const Properties& properties, const std::string& name);
std::vector<std::string> TextsOf(const Properties& properties, const std::string& name);

} // namespace platform::dbus
