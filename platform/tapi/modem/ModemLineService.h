// The ModemManager telephony service: calls over a phone's own cellular modem, through ModemManager on
// the system bus. Every modem that has ModemManager's Voice interface (and matches the profile's `modem`
// key, when given) is one line device with interactive voice, named after its manufacturer, model and
// own number. Devices keep their numbers for the whole run: a modem that goes away stays a device, out
// of service, and takes its number back when it returns (known by its equipment identifier); a modem
// found after start is announced with LINE_CREATE.
//
// The emergency numbers of each modem's SIM (Sim.EmergencyNumbers) join the numbers never dialled.
//
// A device is in service while its modem is registered and not limited to emergency calls; each change
// is reported as LINEDEVSTATE_INSERVICE or LINEDEVSTATE_OUTOFSERVICE. lineMakeCall creates a call with
// Voice.CreateCall and starts it with Call.Start; the call's StateChanged signals become LINE_CALLSTATE
// messages (CallStates.h). lineDrop is Call.Hangup; lineDeallocateCall and lineClose hang up what is
// still up and delete the call (Voice.DeleteCall); stopping the service does the same for every call.
//
// All bus work runs on the system bus's thread: operations update the service's tables under its lock,
// hand the bus work over and return at once. A D-Bus error answers the request with a LINEERR_ code
// and writes a line naming the error on standard error.
#pragma once

#include "platform/tapi/TelephonyService.h"
#include "platform/tapi/modem/BusCalls.h"
#include "platform/tapi/modem/ModemConfig.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::tapi::modem {

class ModemLineService : public TelephonyService, public std::enable_shared_from_this<ModemLineService> {
public:
    // Starts listening to ModemManager and asks for its modems; waits up to the profile's wait_ms for
    // the answer (no ModemManager, no modem: no device yet, and the wait ends at once where it can).
    static std::shared_ptr<ModemLineService> Start(const ModemConfig& config);
    ~ModemLineService() override;

    // Hangs up and deletes every call still up, waits (up to a second) for ModemManager to have answered
    // the hang-ups, and stops listening. Called at the host's end, from a thread other than the bus's,
    // while the bus still runs; the destructor does it if nobody did. Later calls do nothing.
    void Stop();

    std::wstring Label() const override;
    DialPlan Dialling() const override;
    void Attach(ServiceEvents& events) override;
    LONG Initialize(DWORD* deviceCount) override;
    void Shutdown() override;
    DWORD DeviceCount() const override;
    LONG NegotiateVersion(DWORD deviceId, DWORD low, DWORD high, DWORD* version) override;
    LONG DescribeDevice(DWORD deviceId, DeviceInfo* info) override;
    LONG OpenLine(DWORD deviceId, HLINE line) override;
    void CloseLine(HLINE line) override;
    LONG MakeCall(HLINE line, HCALL call, DWORD request, const std::wstring& destination) override;
    LONG DropCall(HCALL call, DWORD request) override;
    void DeallocateCall(HCALL call) override;

    // The line devices as they are now, for tests and the status line.
    struct DeviceView {
        std::string path;
        std::wstring name;
        bool inService = false;
    };
    std::vector<DeviceView> Devices() const;

private:
    struct Modem {
        ModemProperties properties;
        bool present = false;
        bool voice = false;
    };
    struct Device {
        std::string path;
        std::string equipmentIdentifier;
        std::wstring name;
        bool inService = false;
    };
    struct Call {
        HLINE line = 0;
        std::string modem; // the modem's object path
        DWORD request = 0;
        bool replied = false;
        std::string path;        // empty until CreateCall has answered
        bool hungUp = false;     // lineDrop asked for it
        bool forgotten = false;  // deallocated or closed before CreateCall answered
        bool terminated = false; // ModemManager said TERMINATED, or the call could not start
    };

    explicit ModemLineService(ModemConfig config);

    // --- on the bus thread ---
    static int OnBusSignal(sd_bus_message* message, void* data, sd_bus_error* error);
    void Listen(sd_bus* bus);
    void AskForModems(sd_bus* bus);
    void OnModems(sd_bus_message* reply, const std::string& error);
    void OnSignal(sd_bus_message* message);
    void OnCallState(const std::string& path, int state, unsigned reason);
    static void ReadSimNumbers(sd_bus* bus, const std::string& modem, const std::string& sim);
    void OnCreated(sd_bus* bus, HCALL call, sd_bus_message* reply, const std::string& error);
    void OnStarted(HCALL call, const std::string& error);
    // Hangs the call up (when `hangUp`), then deletes it; counted in `pending` until ModemManager has
    // answered both. Needs no service, so that it also runs after the service is gone.
    struct Pending {
        std::mutex mutex;
        std::condition_variable done;
        int count = 0;
    };
    static void HangUpAndDelete(sd_bus* bus, const std::string& modem, const std::string& path, bool hangUp,
                                std::shared_ptr<Pending> pending);

    // --- under mutex_ ---
    void UpdateModemLocked(const std::string& path, const ModemProperties& properties);
    void RefreshDevicesLocked();
    // Tells the line layer whether device `id` is in service (with the reason when it is not).
    void ReportServiceLocked(DWORD id);
    bool SelectedLocked(const std::string& path, const Modem& modem) const;
    void ReplyLocked(HCALL handle, Call& call, LONG result);
    void ForgetCallLocked(HCALL handle);
    void PostHangUp(const std::string& modem, const std::string& path, bool hangUp);

    const ModemConfig config_;
    ServiceEvents* events_ = nullptr;
    std::atomic<bool> stopped_{false};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool answered_ = false;  // ModemManager's modems arrived (or cannot)
    bool listening_ = false; // the signal matches are in place
    bool saidNoBus_ = false;
    int apps_ = 0;
    std::map<std::string, Modem> modems_; // by object path
    std::vector<Device> devices_;         // by device number
    std::map<HLINE, DWORD> lines_;        // open lines and their devices
    std::map<HCALL, Call> calls_;

    const std::shared_ptr<Pending> hangUps_ = std::make_shared<Pending>();
    // The signal matches; the vector is touched on the bus thread only.
    const std::shared_ptr<std::vector<sd_bus_slot*>> matches_ = std::make_shared<std::vector<sd_bus_slot*>>();
};

} // namespace platform::tapi::modem
