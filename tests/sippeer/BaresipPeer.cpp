#include "tests/sippeer/BaresipPeer.h"

#include "tests/sippeer/LocalPorts.h"
#include "tests/sippeer/ToneWav.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <system_error>
#include <thread>

namespace sippeer {
namespace {

constexpr const char* kModulePath = "/usr/lib/baresip/modules";
constexpr const char* kLogFile = "baresip.log";
constexpr const char* kToneFile = "tone.wav";
constexpr int kLaunchAttempts = 3;

// The last `lines` lines of `text`, at most 4000 characters (baresip rewrites its call status line
// without line breaks).
std::string Tail(const std::string& text, int lines) {
    size_t at = text.size();
    while (lines-- > 0 && at > 0) {
        at = text.rfind('\n', at - 1);
        if (at == std::string::npos) {
            at = 0;
            break;
        }
    }
    return text.substr(std::max(at, text.size() > 4000 ? text.size() - 4000 : size_t{0}));
}

} // namespace

BaresipPeer::~BaresipPeer() {
    Stop(Within(std::chrono::seconds(3)));
    control_.Close();
}

std::string BaresipPeer::Uri(const std::string& user) const {
    return "sip:" + user + "@127.0.0.1:" + std::to_string(sipPort_);
}

bool BaresipPeer::Start(const BaresipOptions& options) {
    Stop(Within(std::chrono::seconds(3)));
    control_.Close();
    options_ = options;
    error_.clear();
    folder_ = std::make_unique<TempFolder>("lullwatch-baresip-");
    folder_->Keep(keep_);
    if (folder_->path().empty()) {
        error_ = "could not create a temporary folder";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directory(folder_->path() / "rec", ec);
    if (options_.sourceWav.empty() &&
        !WriteToneWav(folder_->path() / kToneFile, options_.toneHz, options_.toneSeconds)) {
        error_ = "could not write the tone file";
        return false;
    }
    return Launch();
}

bool BaresipPeer::Launch() {
    const auto ports = FreePorts(2, true);
    if (ports.size() != 2) {
        error_ = "no free ports on 127.0.0.1";
        return false;
    }
    sipPort_ = ports[0];
    ctrlPort_ = ports[1];
    if (!WriteConfiguration()) {
        error_ = "could not write the configuration to " + folder_->path().string();
        return false;
    }
    std::error_code ec;
    std::filesystem::remove(folder_->path() / kLogFile, ec);
    return process_.Start({kProgram, "-f", folder_->path().string()}, folder_->path(),
                          folder_->path() / kLogFile, &error_);
}

bool BaresipPeer::WriteConfiguration() {
    const std::string dir = folder_->path().string();
    const std::string source =
        options_.sourceWav.empty() ? dir + "/" + kToneFile : options_.sourceWav.string();
    const std::string listen = "127.0.0.1:" + std::to_string(sipPort_);
    std::ostringstream config;
    config << "poll_method\t\tepoll\n"
           << "sip_listen\t\t" << listen << "\n"
           << "net_interface\t\t127.0.0.1\n"
           << "ctrl_tcp_listen\t\t127.0.0.1:" << ctrlPort_ << "\n"
           << "module_path\t\t" << kModulePath << "\n"
           << "module\t\t\tg711.so\n"
           << "module\t\t\tsndfile.so\n"
           << "module\t\t\taufile.so\n"
           << "module\t\t\taubridge.so\n"
           << "module_app\t\taccount.so\n"
           << "module_app\t\tmenu.so\n"
           << "module_app\t\tctrl_tcp.so\n"
           << "audio_source\t\taufile," << source << "\n"
           << "audio_player\t\taubridge,nowhere\n"
           << "audio_alert\t\taubridge,nowhere\n"
           << "snd_path\t\t" << dir << "/rec\n";
    const std::string account = ";regint=0;audio_codecs=" + options_.codecs;
    std::ostringstream accounts;
    accounts << "<sip:" << options_.autoUser << "@" << listen << ">" << account << ";answermode=auto\n"
             << "<sip:" << options_.manualUser << "@" << listen << ">" << account << ";answermode=manual\n";
    return folder_->Write("config", config.str()) && folder_->Write("accounts", accounts.str());
}

bool BaresipPeer::WaitReady(Deadline deadline) {
    for (int attempt = 1;; ++attempt) {
        bool lostPort = false;
        while (process_.Running() && MillisecondsLeft(deadline) > 0) {
            lostPort = Log().find("Address already in use") != std::string::npos;
            if (lostPort || (UdpBound(sipPort_) && TcpListening(sipPort_) && TcpListening(ctrlPort_))) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (lostPort && attempt < kLaunchAttempts) {
            process_.Kill();
            if (!Launch()) {
                return false;
            }
            continue;
        }
        break;
    }
    if (!process_.Running()) {
        error_ = "baresip ended while starting:" + Tail(Log(), 15);
        return false;
    }
    if (!control_.Connect(ctrlPort_, deadline) || MillisecondsLeft(deadline) == 0) {
        error_ = "baresip did not get ready in time:" + Tail(Log(), 15);
        return false;
    }
    return true;
}

std::optional<ControlReply> BaresipPeer::Command(const std::string& command, const std::string& params,
                                                 Deadline deadline) {
    return control_.Command(command, params, deadline);
}

bool BaresipPeer::Hangup() {
    const auto reply = Command("hangup");
    return reply && reply->ok;
}

bool BaresipPeer::Accept() {
    const auto reply = Command("accept");
    return reply && reply->ok;
}

bool BaresipPeer::Dial(const std::string& uri) {
    const auto reply = Command("dial", uri);
    return reply && reply->ok;
}

std::optional<int> BaresipPeer::ActiveCalls() {
    const auto reply = Command("listcalls");
    const std::string marker = "Active calls (";
    const auto at = reply ? reply->data.find(marker) : std::string::npos;
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return std::atoi(reply->data.c_str() + at + marker.size());
}

std::optional<BaresipEvent> BaresipPeer::WaitForEvent(const std::string& type, Deadline deadline) {
    return control_.WaitForEvent(type, deadline);
}

void BaresipPeer::Kill() {
    process_.Kill();
}

std::optional<int> BaresipPeer::Stop(Deadline deadline) {
    if (!process_.Running()) {
        return process_.ExitCode();
    }
    return process_.Stop(deadline);
}

bool BaresipPeer::RecordingsOpen() {
    if (!process_.Running()) {
        return false;
    }
    const std::string rec = (folder_->path() / "rec").string();
    const auto fds = std::filesystem::path("/proc") / std::to_string(process_.pid()) / "fd";
    std::error_code ec;
    for (std::filesystem::directory_iterator it(fds, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code link;
        const auto target = std::filesystem::read_symlink(it->path(), link).string();
        if (!link && target.rfind(rec, 0) == 0) {
            return true;
        }
    }
    return false;
}

std::vector<std::filesystem::path> BaresipPeer::RecordingFiles(const std::string& suffix, Deadline deadline) {
    std::vector<std::filesystem::path> files;
    if (!folder_) {
        return files;
    }
    while (RecordingsOpen() && MillisecondsLeft(deadline) > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder_->path() / "rec", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end()); // the names start with the call's start time
    return files;
}

std::vector<std::filesystem::path> BaresipPeer::Recordings(Deadline deadline) {
    return RecordingFiles("-dec.wav", deadline);
}

std::vector<std::filesystem::path> BaresipPeer::SentRecordings(Deadline deadline) {
    return RecordingFiles("-enc.wav", deadline);
}

std::string BaresipPeer::Log() const {
    return folder_ ? folder_->Read(kLogFile) : std::string();
}

std::string BaresipPeer::Describe() const {
    std::ostringstream text;
    text << "baresip peer: SIP 127.0.0.1:" << sipPort_ << ", control port " << ctrlPort_ << ", folder "
         << Folder().string() << "\nevents:";
    for (const auto& e : control_.Events()) {
        text << "\n  " << e.type << " " << e.account << " " << e.peer << " (" << e.param << ")";
    }
    text << "\nlog (end):" << Tail(Log(), 30);
    return text.str();
}

std::filesystem::path BaresipPeer::Folder() const {
    return folder_ ? folder_->path() : std::filesystem::path();
}

void BaresipPeer::KeepFolder(bool keep) {
    keep_ = keep;
    if (folder_) {
        folder_->Keep(keep);
    }
}

} // namespace sippeer
