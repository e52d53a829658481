#include "tests/dbus/PrivateSystemBus.h"

#include <signal.h>
#include <stdlib.h>

#include <cstring>
#include <thread>

namespace dbustest {
namespace {

using namespace std::chrono_literals;

constexpr auto kPollStep = 20ms;

std::string DaemonConfig(const std::filesystem::path& socket) {
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>system</type>\n"
           "  <listen>unix:path=" +
           socket.string() +
           "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow user=\"*\"/>\n"
           "    <allow own=\"*\"/>\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow send_type=\"method_call\"/>\n"
           "    <allow receive_sender=\"*\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
}

// One basic value of the message's current variant as text; containers as their type letters.
std::string VariantText(sd_bus_message* m) {
    char type = 0;
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(m, &type, &contents) <= 0) {
        sd_bus_message_skip(m, "v");
        return {};
    }
    if (sd_bus_message_enter_container(m, SD_BUS_TYPE_VARIANT, contents) < 0) {
        sd_bus_message_skip(m, "v");
        return {};
    }
    std::string text;
    char inner = contents[0];
    union {
        const char* s;
        uint8_t y;
        int b;
        int16_t n;
        uint16_t q;
        int32_t i;
        uint32_t u;
        int64_t x;
        uint64_t t;
        double d;
    } v{};
    if (contents[1] == '\0' && sd_bus_message_read_basic(m, inner, &v) > 0) {
        switch (inner) {
        case 's':
        case 'o':
        case 'g':
            text = v.s;
            break;
        case 'y':
            text = std::to_string(v.y);
            break;
        case 'b':
            text = v.b ? "true" : "false";
            break;
        case 'n':
            text = std::to_string(v.n);
            break;
        case 'q':
            text = std::to_string(v.q);
            break;
        case 'i':
            text = std::to_string(v.i);
            break;
        case 'u':
            text = std::to_string(v.u);
            break;
        case 'x':
            text = std::to_string(v.x);
            break;
        case 't':
            text = std::to_string(v.t);
            break;
        case 'd':
            text = std::to_string(v.d);
            break;
        default:
            text = contents;
        }
    } else {
        sd_bus_message_skip(m, contents);
        text = contents;
    }
    sd_bus_message_exit_container(m);
    return text;
}

} // namespace

PrivateSystemBus::PrivateSystemBus() : folder_("lullwatch-bus-") {
    if (folder_.path().empty()) {
        error_ = "no temporary folder";
        return;
    }
    StartDaemon();
}

PrivateSystemBus::~PrivateSystemBus() {
    if (connection_ != nullptr) {
        sd_bus_flush_close_unref(connection_);
    }
    for (auto& mock : mocks_) {
        mock.process->Stop(sippeer::Within(3s));
    }
    daemon_.Stop(sippeer::Within(3s));
    if (!address_.empty()) {
        unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }
}

bool PrivateSystemBus::StartDaemon() {
    const auto socket = folder_.path() / "system_bus_socket";
    folder_.Write("bus.conf", DaemonConfig(socket));
    const std::vector<std::string> argv = {
        "/usr/bin/dbus-daemon", "--config-file=" + (folder_.path() / "bus.conf").string(),
        "--print-address",      "--nofork",
        "--nopidfile",          "--nosyslog"};
    if (!daemon_.Start(argv, folder_.path(), folder_.path() / "dbus-daemon.log", &error_)) {
        return false;
    }
    // The daemon prints its address once it listens.
    const auto deadline = sippeer::Within(10s);
    std::string printed;
    while ((printed = folder_.Read("dbus-daemon.log")).find('\n') == std::string::npos) {
        if (!daemon_.Running() || sippeer::MillisecondsLeft(deadline) == 0) {
            error_ = "dbus-daemon did not start: " + printed;
            return false;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    address_ = printed.substr(0, printed.find('\n'));
    if (address_.rfind("unix:", 0) != 0) {
        error_ = "dbus-daemon printed no address: " + printed;
        address_.clear();
        return false;
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);

    int r = sd_bus_new(&connection_);
    if (r >= 0) {
        r = sd_bus_set_address(connection_, address_.c_str());
    }
    if (r >= 0) {
        r = sd_bus_set_bus_client(connection_, 1);
    }
    if (r >= 0) {
        r = sd_bus_start(connection_);
    }
    if (r < 0) {
        error_ = "cannot connect to the private bus: " + std::string(strerror(-r));
        return false;
    }
    return true;
}

bool PrivateSystemBus::HasOwner(const std::string& busName) {
    if (connection_ == nullptr) {
        return false;
    }
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int has = 0;
    if (sd_bus_call_method(connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", &e, &reply, "s", busName.c_str()) >= 0) {
        sd_bus_message_read(reply, "b", &has);
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&e);
    return has != 0;
}

bool PrivateSystemBus::WaitForOwner(const std::string& busName, bool owned, sippeer::Deadline deadline,
                                    sippeer::ChildProcess* process) {
    while (HasOwner(busName) != owned) {
        if (sippeer::MillisecondsLeft(deadline) == 0 ||
            (owned && process != nullptr && !process->Running())) {
            return false;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    return true;
}

bool PrivateSystemBus::StartMock(const std::string& templ, const std::string& busName,
                                 const std::string& parameters, std::chrono::milliseconds within) {
    if (!ok()) {
        return false;
    }
    std::vector<std::string> argv = {"/usr/bin/python3", "-m", "dbusmock", "--system", "--template", templ};
    if (!parameters.empty()) {
        argv.push_back("--parameters");
        argv.push_back(parameters);
    }
    Mock mock{busName, "mock-" + std::to_string(mocks_.size()) + ".log",
              std::make_unique<sippeer::ChildProcess>()};
    if (!mock.process->Start(argv, folder_.path(), folder_.path() / mock.logName, &error_)) {
        return false;
    }
    auto* process = mock.process.get();
    mocks_.push_back(std::move(mock));
    if (!WaitForOwner(busName, true, sippeer::Within(within), process)) {
        error_ = "dbusmock " + templ + " did not take " + busName + ": " + Logs();
        return false;
    }
    return true;
}

bool PrivateSystemBus::StopMock(const std::string& busName) {
    for (auto& mock : mocks_) {
        if (mock.busName == busName && mock.process->Running()) {
            mock.process->Stop(sippeer::Within(3s));
            return WaitForOwner(busName, false, sippeer::Within(5s), nullptr);
        }
    }
    return false;
}

std::string PrivateSystemBus::Logs() const {
    std::string text = "dbus-daemon: " + folder_.Read("dbus-daemon.log");
    for (const auto& mock : mocks_) {
        text += "\n" + mock.busName + ": " + folder_.Read(mock.logName);
    }
    return text;
}

std::vector<std::vector<std::string>> MockMethodCalls(sd_bus* bus, const std::string& busName,
                                                      const std::string& path, const std::string& method) {
    std::vector<std::vector<std::string>> calls;
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus, busName.c_str(), path.c_str(), "org.freedesktop.DBus.Mock", "GetMethodCalls",
                           &e, &reply, "s", method.c_str()) >= 0 &&
        sd_bus_message_enter_container(reply, 'a', "(tav)") > 0) {
        while (sd_bus_message_enter_container(reply, 'r', "tav") > 0) {
            uint64_t when = 0;
            sd_bus_message_read(reply, "t", &when);
            std::vector<std::string> args;
            if (sd_bus_message_enter_container(reply, 'a', "v") > 0) {
                while (!sd_bus_message_at_end(reply, false)) {
                    args.push_back(VariantText(reply));
                }
                sd_bus_message_exit_container(reply);
            }
            sd_bus_message_exit_container(reply);
            calls.push_back(std::move(args));
        }
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&e);
    return calls;
}

} // namespace dbustest
