#include "MonitorDriver.h"

#include "platform/automation/DeviceCommands.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace lwe2e {

DataRoot::DataRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lullwatch-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder";
    }
    root_ = pattern;
}

DataRoot::~DataRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string DataRoot::Read(const std::string& file) const {
    std::ifstream in(SettingsFolder() / file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void DataRoot::Write(const std::string& file, const std::string& bytes) const {
    std::filesystem::create_directories(SettingsFolder());
    std::ofstream(SettingsFolder() / file, std::ios::binary) << bytes;
}

std::string Word(const std::string& text) {
    if (!text.empty() && text.find_first_of(" \"\\") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::vector<std::string> ReplyWords(const std::string& line) {
    return platform::automation::SplitWords(line);
}

std::optional<std::string> ValueOf(const std::vector<std::string>& words, const std::string& key) {
    for (const auto& word : words) {
        if (word.rfind(key + "=", 0) == 0) {
            return word.substr(key.size() + 1);
        }
    }
    return std::nullopt;
}

Monitor::Monitor(const DataRoot& data, const std::vector<std::string>& settings, const std::string& profile,
                 bool waitForMainWindow) {
    platform::automation::AutomationClient::Options options{LULLWATCH_MONITOR_BINARY, profile};
    options.settings = settings;
    options.settings.push_back("device.data_root=" + data.path().string());
    std::string error;
    client_ = platform::automation::AutomationClient::Start(options, &error);
    if (!client_) {
        ADD_FAILURE() << "cannot start the monitor: " << error;
        return;
    }
    if (waitForMainWindow) {
        FindMainWindow();
    }
}

bool Monitor::FindMainWindow() {
    if (!Wait("window Lullwatch")) {
        return false;
    }
    const auto reply = Do("windows");
    for (const auto& line : reply.lines) {
        const auto words = ReplyWords(line);
        if (words.size() > 2 && words[0] == "window" && words[2] == "Lullwatch") {
            main_ = words[1]; // the bottom-most one is listed last: the main window
        }
    }
    EXPECT_FALSE(main_.empty()) << reply.Text();
    return !main_.empty();
}

Monitor::~Monitor() {
    if (client_) {
        Quit();
    }
}

platform::automation::ClientReply Monitor::Do(const std::string& command) {
    if (!client_) {
        ADD_FAILURE() << "no monitor for: " << command;
        return {};
    }
    auto reply = client_->Command(command, kPatienceMs + 5000);
    EXPECT_TRUE(reply.ok) << command << "\n" << reply.Text();
    return reply;
}

platform::automation::ClientReply Monitor::Try(const std::string& command) {
    if (!client_) {
        ADD_FAILURE() << "no monitor for: " << command;
        return {};
    }
    auto reply = client_->Command(command, kPatienceMs + 5000);
    EXPECT_TRUE(reply.ok || !reply.status.empty()) << command << "\n" << reply.Text();
    return reply;
}

std::string Monitor::Answer(const std::string& command) {
    const auto reply = Do(command);
    return reply.ok ? reply.status : std::string();
}

bool Monitor::Wait(const std::string& condition, int ms, bool expectTimeout) {
    if (!client_) {
        ADD_FAILURE() << "no monitor for: wait " << condition;
        return false;
    }
    const auto reply = client_->Command("wait " + std::to_string(ms) + " " + condition, ms + 10000);
    if (!expectTimeout) {
        EXPECT_TRUE(reply.ok) << "wait " << condition << "\n" << reply.Text();
    }
    return reply.ok;
}

bool Monitor::WaitText(int id, const std::string& text, int ms) {
    return Wait("text " + main_ + " " + std::to_string(id) + " is " + Word(text), ms);
}

std::map<int, ControlView> Monitor::Controls(const std::string& window) {
    std::map<int, ControlView> controls;
    for (const auto& line : Do("controls " + window).lines) {
        const auto words = ReplyWords(line);
        const auto id = ValueOf(words, "id");
        if (words.empty() || words[0] != "control" || !id) {
            ADD_FAILURE() << "unexpected control line: " << line;
            continue;
        }
        const auto has = [&words](const char* flag) {
            return std::find(words.begin(), words.end(), flag) != words.end();
        };
        ControlView view;
        view.text = ValueOf(words, "text").value_or("");
        view.enabled = has("enabled");
        view.visible = has("visible");
        if (has("checked") || has("unchecked")) {
            view.checked = has("checked");
        }
        if (const auto pos = ValueOf(words, "pos")) {
            view.pos = std::stoi(*pos);
        }
        view.rect = ValueOf(words, "rect").value_or("");
        controls[std::stoi(*id)] = view;
    }
    return controls;
}

std::optional<std::pair<std::uint64_t, std::string>> Monitor::WaitForLineCall(const std::string& function,
                                                                              std::uint64_t from) {
    const auto reply =
        Do("line wait " + function + " " + std::to_string(from) + " timeout=" + std::to_string(kPatienceMs));
    if (!reply.ok) {
        return std::nullopt;
    }
    return std::make_pair(std::stoull(reply.status), reply.status);
}

std::optional<int> Monitor::Quit() {
    if (!client_) {
        return std::nullopt;
    }
    const auto code = client_->Quit();
    EXPECT_EQ(code, 0) << Stderr();
    client_.reset();
    return code;
}

void Monitor::Kill() {
    if (!client_) {
        return;
    }
    ::kill(client_->pid(), SIGKILL);
    EXPECT_TRUE(client_->WaitForExit(kPatienceMs).has_value());
    client_.reset();
}

std::optional<int> Monitor::WaitForExit(int ms) {
    return client_ ? client_->WaitForExit(ms) : std::nullopt;
}

std::string Monitor::Stderr() const {
    return client_ ? client_->Stderr() : std::string();
}

} // namespace lwe2e
