// What the oFono service knows: the modems and their service state, the open lines and the calls, under
// one lock; and the bus side that keeps it up to date (OfonoWatch.cpp, on the system bus's thread).
// The line operations (OfonoLineService.cpp) read and change it under the lock and hand bus work to the
// bus thread. Reports to ServiceEvents are made under the lock, which keeps them in order.
#pragma once

#include "platform/dbus/Properties.h"
#include "platform/tapi/TelephonyService.h"

#include <systemd/sd-bus.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::tapi::ofono {

inline constexpr const char* kOfono = "org.ofono";
inline constexpr const char* kManager = "org.ofono.Manager";
inline constexpr const char* kModem = "org.ofono.Modem";
inline constexpr const char* kVoiceCallManager = "org.ofono.VoiceCallManager";
inline constexpr const char* kVoiceCall = "org.ofono.VoiceCall";
inline constexpr const char* kNetworkRegistration = "org.ofono.NetworkRegistration";

// A line on standard error, "lullwatch: ofono: <text>".
void Say(const std::string& text);

class OfonoState : public std::enable_shared_from_this<OfonoState> {
public:
    struct Modem {
        std::string path;
        std::wstring name;
        bool present = true;
        bool online = false;
        bool voice = false; // has org.ofono.VoiceCallManager
        bool registrationQueried = false;
        std::string registration; // the network registration's Status
        bool inService = false;
        int device = -1; // its line device, once it had voice
    };
    struct Call {
        HLINE line = 0;
        DWORD device = 0;
        DWORD request = 0;
        bool replied = false;
        DWORD state = 0;
        std::string path; // oFono's call object, once Dial has answered
        bool connected = false;
        std::string reason; // the last DisconnectReason
    };

    // Bus thread: installs the signal matches and asks for the modems.
    void Watch(sd_bus* bus);
    // Bus thread: ends the matches and hangs up every call still up.
    void Unwatch(sd_bus* bus);
    // Waits until the modems found at start are known, at most `within`.
    void WaitForDiscovery(std::chrono::milliseconds within);

    // Bus thread: dials for `call` on `modemPath`.
    void Dial(sd_bus* bus, HCALL call, const std::string& modemPath, const std::string& number);
    // Bus thread: hangs `callPath` up; with a `request`, answers it when oFono has.
    void Hangup(sd_bus* bus, const std::string& callPath, DWORD request);

    // Under `mutex`.
    Modem* DeviceModem(DWORD device);
    DWORD DeviceCountLocked() const;
    void ReplyLocked(Call& call, LONG result);
    void ReportStateLocked(HCALL handle, Call& call, DWORD state, DWORD mode = 0);

    std::mutex mutex;
    ServiceEvents* events = nullptr;
    std::vector<Modem> modems;
    std::map<HLINE, DWORD> lines; // open line -> device
    std::map<HCALL, Call> calls;

private:
    struct Early {
        std::string state;
        std::string reason;
    };

    void OnModems(sd_bus* bus, sd_bus_message* reply);
    void ModemSeen(sd_bus* bus, const std::string& path, const dbus::Properties& properties);
    void QueryVoice(sd_bus* bus, const std::string& path);
    void QueryRegistration(sd_bus* bus, const std::string& path);
    void OnModemProperty(sd_bus* bus, const std::string& path, const std::string& name,
                         const dbus::Value& value);
    void OnModemRemoved(const std::string& path);
    void OnRegistration(const std::string& path, const std::string& status);
    void OnCallState(const std::string& path, const std::string& state);
    void OnDisconnectReason(const std::string& path, const std::string& reason);
    void OnCallRemoved(const std::string& path);
    void OnDialReply(sd_bus* bus, HCALL call, sd_bus_message* reply);
    Modem* ModemAt(const std::string& path);
    void UpdateServiceLocked(Modem& modem);
    HCALL CallAt(const std::string& path) const;
    void Started();
    void Finished();

    std::condition_variable discovered_;
    int outstanding_ = 0; // discovery replies still awaited (under mutex)
    bool discoveryDone_ = false;
    std::map<std::string, Early> early_; // call paths heard of before their Dial answered
    std::vector<sd_bus_slot*> matches_;  // bus thread
};

} // namespace platform::tapi::ofono
