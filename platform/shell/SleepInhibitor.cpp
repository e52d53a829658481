#include "platform/shell/SleepInhibitor.h"

#include "platform/dbus/BusError.h"
#include "platform/dbus/SystemBus.h"
#include "platform/status/Indicators.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace platform::shell {
namespace {

using platform::dbus::SystemBus;
namespace status = platform::status;

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";
constexpr const char* kWho = "Lullwatch";
constexpr const char* kWhy = "Listening to a sleeping child's room, to call when it gets loud";
constexpr const char* kWhatWithLid = "sleep:handle-lid-switch";
constexpr const char* kWhatSleepOnly = "sleep";
constexpr const wchar_t* kIndicatorText = L"May sleep";

// Touched on the bus thread only; never destroyed, since that thread may still be at work while the
// process ends.
struct Inhibitor {
    int requests = 0;
    int fd = -1;                    // the inhibitor, while held
    sd_bus_slot* pending = nullptr; // the Inhibit call on its way
    std::string lastSaid;           // the reason last written on standard error
    std::string lidRefusal;         // why logind would not hold the lid switch
    bool lidNoted = false;          // standard error has heard about that
};

Inhibitor& State() {
    static auto* state = new Inhibitor;
    return *state;
}

void Report(const std::string& why) {
    auto& s = State();
    status::Raise(status::Indicator::SleepInhibitor, kIndicatorText, why);
    if (why != s.lastSaid) {
        s.lastSaid = why;
        std::fprintf(stderr, "lullwatch: cannot keep the machine from sleeping during the session: %s\n",
                     why.c_str());
        std::fflush(stderr);
    }
}

void Close() {
    auto& s = State();
    s.pending = sd_bus_slot_unref(s.pending); // a reply still on its way is dropped with its descriptor
    if (s.fd >= 0) {
        close(s.fd);
        s.fd = -1;
    }
    status::Clear(status::Indicator::SleepInhibitor);
}

void Take(sd_bus* bus, const char* what);

int OnInhibitReply(sd_bus_message* reply, void* userdata, sd_bus_error*) {
    auto& s = State();
    const char* what = static_cast<const char*>(userdata);
    sd_bus* bus = sd_bus_message_get_bus(reply);
    s.pending = sd_bus_slot_unref(s.pending);
    if (s.requests == 0) {
        return 0; // released meanwhile: the reply's descriptor closes with the message
    }
    std::string error = platform::dbus::ReplyError(reply);
    int fd = -1;
    if (error.empty()) {
        const int r = sd_bus_message_read(reply, "h", &fd);
        if (r < 0) {
            error = "unreadable Inhibit reply: " + platform::dbus::DescribeError(nullptr, r);
        }
    }
    if (error.empty()) {
        // The message owns its descriptor; keep a copy of our own.
        s.fd = fcntl(fd, F_DUPFD_CLOEXEC, 3);
        if (s.fd < 0) {
            Report("cannot keep the inhibitor's descriptor");
            return 0;
        }
        status::Clear(status::Indicator::SleepInhibitor);
        if (what == kWhatSleepOnly && !s.lidNoted) {
            s.lidNoted = true;
            std::fprintf(stderr,
                         "lullwatch: logind keeps the machine awake but not the lid switch (%s); closing "
                         "the lid may suspend it\n",
                         s.lidRefusal.c_str());
            std::fflush(stderr);
        }
        return 0;
    }
    if (what == kWhatWithLid &&
        sd_bus_error_has_names(sd_bus_message_get_error(reply), SD_BUS_ERROR_ACCESS_DENIED,
                               SD_BUS_ERROR_INTERACTIVE_AUTHORIZATION_REQUIRED, SD_BUS_ERROR_INVALID_ARGS)) {
        // logind may refuse the lid switch to an unprivileged user but still allow sleep.
        s.lidRefusal = error;
        Take(bus, kWhatSleepOnly);
        return 0;
    }
    Report("logind refused the sleep inhibitor: " + error);
    return 0;
}

void Take(sd_bus* bus, const char* what) {
    auto& s = State();
    const int r =
        sd_bus_call_method_async(bus, &s.pending, kLogind, kLogindPath, kManager, "Inhibit", OnInhibitReply,
                                 const_cast<char*>(what), "ssss", what, kWho, kWhy, "block");
    if (r < 0) {
        s.pending = nullptr;
        Report("cannot ask logind for a sleep inhibitor: " + platform::dbus::DescribeError(nullptr, r));
    }
}

// Set once a request was made, so that a program that never asked does not connect to the bus at exit.
std::atomic<bool> g_everRequested{false};

} // namespace

void AcquireSleepInhibitor() {
    g_everRequested.store(true, std::memory_order_relaxed);
    SystemBus::Get().Post([](sd_bus* bus) {
        auto& s = State();
        if (++s.requests > 1 || s.fd >= 0 || s.pending != nullptr) {
            return;
        }
        if (bus == nullptr) {
            Report("no system bus (" + SystemBus::Get().ConnectError() + ")");
            return;
        }
        Take(bus, kWhatWithLid);
    });
}

void ReleaseSleepInhibitor() {
    SystemBus::Get().Post([](sd_bus*) {
        auto& s = State();
        if (s.requests > 0 && --s.requests == 0) {
            Close();
        }
    });
}

void ReleaseAllSleepInhibitors() {
    if (!g_everRequested.load(std::memory_order_relaxed)) {
        return;
    }
    SystemBus::Get().Run([](sd_bus*) {
        State().requests = 0;
        Close();
    });
}

} // namespace platform::shell
