// Small tools for the ModemManager service's bus work, all used on the bus thread only: method calls
// whose reply goes to a std::function (the function lives exactly as long as the pending call, so a
// connection that closes frees it too), and readers for the property dictionaries ModemManager sends.
#pragma once

#include <systemd/sd-bus.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::tapi::modem {

inline constexpr const char* kService = "org.freedesktop.ModemManager1";
inline constexpr const char* kRootPath = "/org/freedesktop/ModemManager1";
inline constexpr const char* kModemInterface = "org.freedesktop.ModemManager1.Modem";
inline constexpr const char* kVoiceInterface = "org.freedesktop.ModemManager1.Modem.Voice";
inline constexpr const char* kCallInterface = "org.freedesktop.ModemManager1.Call";
inline constexpr const char* kSimInterface = "org.freedesktop.ModemManager1.Sim";

// `error` is "" for a success, else the D-Bus error's name and message.
using ReplyHandler = std::function<void(sd_bus_message* reply, const std::string& error)>;
// Appends the call's arguments; returns a negative errno on failure.
using Arguments = std::function<int(sd_bus_message* call)>;

// Calls `member` of `interface` on ModemManager's object `path`. A call that cannot even be sent
// reports its error to `handler` at once.
void CallMethod(sd_bus* bus, const std::string& path, const char* interface, const char* member,
                const Arguments& arguments, ReplyHandler handler);

// What ModemManager says about a modem; fields it did not send stay empty.
struct ModemProperties {
    std::optional<std::string> manufacturer;
    std::optional<std::string> model;
    std::optional<std::string> equipmentIdentifier;
    std::optional<std::vector<std::string>> ownNumbers;
    std::optional<int> state;
    std::optional<bool> emergencyOnly; // Voice interface
    std::optional<std::string> sim;    // the SIM's object path ("/" for none)
};

// Reads an a{sv} of `interface` (the Modem or the Voice interface) into `properties`; others skipped.
int ReadProperties(sd_bus_message* message, const std::string& interface, ModemProperties* properties);

// Reads a{sa{sv}}: which interfaces an object has, with their properties.
int ReadInterfaces(sd_bus_message* message, std::vector<std::string>* interfaces,
                   ModemProperties* properties);

} // namespace platform::tapi::modem
