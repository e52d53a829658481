#include "tests/sippeer/SippPeer.h"

#include "tests/sippeer/DigestCheck.h"
#include "tests/sippeer/LocalPorts.h"

#include <strings.h>

#include <sstream>
#include <thread>

namespace sippeer {
namespace {

constexpr const char* kScenarioFile = "scenario.xml";
constexpr const char* kScreenFile = "screen.log";
constexpr const char* kMessageFile = "messages.log";
constexpr const char* kErrorFile = "errors.log";

// The blocks of sipp's message trace: each starts with a line of dashes and a line saying whether the
// message was sent or received, then a blank line and the message.
std::vector<std::pair<std::string, std::string>> TraceBlocks(const std::string& trace) {
    std::vector<std::pair<std::string, std::string>> blocks;
    const std::string rule = "-----------------------------------------------";
    size_t at = trace.find(rule);
    while (at != std::string::npos) {
        const size_t next = trace.find("\n" + rule, at + rule.size());
        const std::string block =
            trace.substr(at, next == std::string::npos ? std::string::npos : next + 1 - at);
        const size_t titleStart = block.find('\n');
        const size_t titleEnd = block.find('\n', titleStart + 1);
        if (titleStart != std::string::npos && titleEnd != std::string::npos) {
            std::string message = block.substr(titleEnd + 1);
            message.erase(0, message.find_first_not_of("\r\n"));
            blocks.emplace_back(block.substr(titleStart + 1, titleEnd - titleStart - 1), message);
        }
        at = next == std::string::npos ? next : next + 1;
    }
    return blocks;
}

// The value of header `name` in a SIP message ("" when absent), matched at a line start, any case.
std::string HeaderValue(const std::string& message, const std::string& name) {
    std::istringstream lines(message);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() > name.size() && line[name.size()] == ':' &&
            strncasecmp(line.c_str(), name.c_str(), name.size()) == 0) {
            std::string value = line.substr(name.size() + 1);
            value.erase(0, value.find_first_not_of(' '));
            if (!value.empty() && value.back() == '\r') {
                value.pop_back();
            }
            return value;
        }
    }
    return "";
}

std::string MethodOf(const std::string& message) {
    return message.substr(0, message.find(' '));
}

} // namespace

SippPeer::~SippPeer() {
    process_.Kill();
}

bool SippPeer::Start(const std::string& scenario, SipTransport transport, int port) {
    port_ = port;
    return Launch(scenario, transport, "");
}

bool SippPeer::StartClient(const std::string& scenario, const std::string& target, SipTransport transport) {
    port_ = 0;
    return Launch(scenario, transport, target);
}

bool SippPeer::Launch(const std::string& scenario, SipTransport transport, const std::string& target) {
    process_.Kill();
    error_.clear();
    transport_ = transport;
    folder_ = std::make_unique<TempFolder>("lullwatch-sipp-");
    folder_->Keep(keep_);
    const auto ports = port_ != 0 ? std::vector<int>{port_} : FreePorts(1);
    if (folder_->path().empty() || ports.empty() || !folder_->Write(kScenarioFile, scenario)) {
        error_ = "could not prepare a folder and a port for sipp";
        return false;
    }
    port_ = ports[0];
    const auto file = [&](const char* name) { return (folder_->path() / name).string(); };
    std::vector<std::string> argv = {kProgram,
                                     "-sf",
                                     file(kScenarioFile),
                                     "-i",
                                     "127.0.0.1",
                                     "-p",
                                     std::to_string(port_),
                                     "-t",
                                     transport == SipTransport::Tcp ? "t1" : "u1",
                                     "-m",
                                     "1",
                                     "-nostdin",
                                     "-trace_msg",
                                     "-message_file",
                                     file(kMessageFile),
                                     "-trace_err",
                                     "-error_file",
                                     file(kErrorFile)};
    if (!target.empty()) {
        argv.push_back(target);
    }
    return process_.Start(argv, folder_->path(), folder_->path() / kScreenFile, &error_);
}

bool SippPeer::WaitReady(Deadline deadline) {
    const auto bound = [&] {
        return transport_ == SipTransport::Tcp ? TcpListening(port_) : UdpBound(port_);
    };
    while (process_.Running() && !bound()) {
        if (MillisecondsLeft(deadline) == 0) {
            error_ = "sipp did not bind its port in time";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!bound()) {
        error_ = "sipp ended while starting:\n" + Errors() + Screen();
        return false;
    }
    return true;
}

std::string SippPeer::Uri(const std::string& user) const {
    return "sip:" + user + "@127.0.0.1:" + std::to_string(port_) +
           (transport_ == SipTransport::Tcp ? ";transport=tcp" : "");
}

std::optional<int> SippPeer::Wait(Deadline deadline) {
    return process_.Wait(deadline);
}

std::optional<int> SippPeer::Stop(Deadline deadline) {
    return process_.Stop(deadline);
}

void SippPeer::Kill() {
    process_.Kill();
}

std::vector<std::string> SippPeer::ReceivedMessages() const {
    std::vector<std::string> received;
    for (const auto& [title, message] : TraceBlocks(Messages())) {
        if (title.find("received") != std::string::npos) {
            received.push_back(message);
        }
    }
    return received;
}

std::vector<std::string> SippPeer::ReceivedRequests(const std::string& method) const {
    std::vector<std::string> requests;
    for (const auto& message : ReceivedMessages()) {
        if (MethodOf(message) == method) {
            requests.push_back(message);
        }
    }
    return requests;
}

bool SippPeer::CredentialsValid(const std::string& user, const std::string& password) const {
    const auto received = ReceivedMessages();
    for (auto it = received.rbegin(); it != received.rend(); ++it) {
        for (const char* name : {"Authorization", "Proxy-Authorization"}) {
            const std::string header = HeaderValue(*it, name);
            if (!header.empty()) {
                return DigestValid(MethodOf(*it), header, user, password);
            }
        }
    }
    return false;
}

std::string SippPeer::Messages() const {
    return folder_ ? folder_->Read(kMessageFile) : std::string();
}

std::string SippPeer::Errors() const {
    return folder_ ? folder_->Read(kErrorFile) : std::string();
}

std::string SippPeer::Screen() const {
    return folder_ ? folder_->Read(kScreenFile) : std::string();
}

std::string SippPeer::Describe() {
    std::ostringstream text;
    text << "sipp peer: 127.0.0.1:" << port_ << (transport_ == SipTransport::Tcp ? " TCP" : " UDP")
         << ", folder " << Folder().string() << ", ";
    if (process_.Running()) {
        text << "still running";
    } else if (auto code = process_.ExitCode()) {
        text << "exit code " << *code;
    }
    const std::string trace = Messages();
    text << "\nerrors:\n"
         << Errors() << "\nmessages (end):\n"
         << (trace.size() > 6000 ? trace.substr(trace.size() - 6000) : trace);
    return text.str();
}

std::filesystem::path SippPeer::Folder() const {
    return folder_ ? folder_->path() : std::filesystem::path();
}

void SippPeer::KeepFolder(bool keep) {
    keep_ = keep;
    if (folder_) {
        folder_->Keep(keep);
    }
}

} // namespace sippeer
