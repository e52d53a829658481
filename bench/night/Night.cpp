#include "Night.h"

#include "platform/automation/client/AutomationClient.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace lwnight {
namespace {

using platform::automation::AutomationClient;
using RealClock = std::chrono::steady_clock;

// Real milliseconds any one step of the night may take before the night is given up.
constexpr int kStepMs = 30000;
// The averaging period in eighths of a second: one buffer per device second.
constexpr const char* kAveraging = "8";

class DataFolder {
public:
    DataFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lullwatch-night-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            root_ = pattern;
            std::filesystem::create_directories(root_ / "Lullwatch");
            std::ofstream(root_ / "Lullwatch" / "phonenumber.txt", std::ios::binary)
                << std::string("5551234\0", 8);
            std::ofstream(root_ / "Lullwatch" / "LullwatchAverage.txt", std::ios::binary) << kAveraging;
        }
    }
    ~DataFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    const std::filesystem::path& path() const { return root_; }

private:
    std::filesystem::path root_;
};

ProcessSample Sample(pid_t pid) {
    ProcessSample sample;
    const std::string proc = "/proc/" + std::to_string(pid);
    std::ifstream status(proc + "/status");
    for (std::string line; std::getline(status, line);) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "VmRSS:") {
            words >> sample.residentKb;
        } else if (key == "Threads:") {
            words >> sample.threads;
        }
    }
    std::error_code error;
    for (std::filesystem::directory_iterator it(proc + "/fd", error), end; !error && it != end;
         it.increment(error)) {
        ++sample.descriptors;
    }
    return sample;
}

// The number of the journal entry that a "line wait" reply names ("12 4031ms lineMakeCall ...").
long EntryOf(const std::string& status) {
    return std::strtol(status.c_str(), nullptr, 10);
}

class Night {
public:
    Night(const NightOptions& options, NightResult& result) : options_(options), result_(result) {}

    void Run(const std::function<void(const HourFigures&)>& onHour) {
        AutomationClient::Options start{options_.program, options_.profile};
        start.settings = {"device.clock_factor=" + std::to_string(options_.clockFactor),
                          "device.data_root=" + data_.path().string(),
                          "line.call-script=answer-then-hangup 20"};
        std::string error;
        client_ = AutomationClient::Start(start, &error);
        if (!client_) {
            Fail("cannot start the monitor: " + error);
            return;
        }
        // The first burst may come during the start countdown: the room stays loud until the call.
        if (!Do("wait " + std::to_string(kStepMs) + " window Lullwatch") || !Do("click foreground id=1000") ||
            !Do("wait " + std::to_string(kStepMs) + " state foreground 1003 disabled")) {
            Fail("the session did not start");
            return;
        }
        const int bursts = options_.hours * 60 / options_.burstMinutes;
        const int perHour = 60 / options_.burstMinutes;
        const auto quiet = std::chrono::duration<double, std::milli>(options_.burstMinutes * 60'000.0 /
                                                                     options_.clockFactor);
        const auto night = RealClock::now();
        HourFigures figures;
        for (int burst = 0; burst <= bursts; ++burst) {
            // The night's schedule: the next burst comes burstMinutes of device time after the last one.
            std::this_thread::sleep_until(night +
                                          std::chrono::duration_cast<RealClock::duration>(quiet * burst));
            if (burst > 0) {
                result_.quiet.push_back(Sample(client_->pid()));
            }
            if (burst > 0 && burst % perHour == 0) {
                figures.hour = burst / perHour;
                figures.process = result_.quiet.back();
                result_.hours.push_back(figures);
                if (onHour) {
                    onHour(figures);
                }
            }
            if (burst == bursts || !Burst(figures)) {
                break;
            }
        }
        result_.ok = result_.error.empty();
        const auto code = client_->Quit(kStepMs);
        result_.exitCode = code.value_or(-1);
    }

private:
    // One loud stretch: the alarm call is placed, answered and hung up by the far end, and capture resumes.
    bool Burst(HourFigures& figures) {
        if (!Do("sound tone 440 60")) {
            return false;
        }
        const auto placed =
            Reply("line wait lineMakeCall " + std::to_string(next_) + " timeout=" + std::to_string(kStepMs));
        if (placed.empty()) {
            return Fail("no call was placed in burst " + std::to_string(figures.placed + 1));
        }
        ++figures.placed;
        next_ = EntryOf(placed) + 1;
        if (!Do("sound silence")) {
            return false;
        }
        const auto ended = Reply("line wait lineDeallocateCall " + std::to_string(next_) +
                                 " timeout=" + std::to_string(kStepMs));
        if (ended.empty()) {
            return Fail("call " + std::to_string(figures.placed) + " did not end");
        }
        ++figures.ended;
        next_ = EntryOf(ended) + 1;
        if (!Do("wait " + std::to_string(kStepMs) + " device \"sound state\" contains recording")) {
            return Fail("capture did not resume after call " + std::to_string(figures.placed));
        }
        ++figures.resumed;
        return true;
    }

    bool Do(const std::string& command) { return !Reply(command).empty(); }

    // The status of an ok reply; "" (and the night's error) otherwise.
    std::string Reply(const std::string& command) {
        const auto reply = client_->Command(command, kStepMs + 5000);
        if (!reply.ok) {
            Fail(command + ": " + reply.Text());
            return "";
        }
        return reply.status.empty() ? " " : reply.status;
    }

    bool Fail(const std::string& why) {
        if (result_.error.empty()) {
            result_.error = why;
            if (client_) {
                result_.error += '\n';
                result_.error += client_->Stderr();
            }
        }
        return false;
    }

    const NightOptions& options_;
    NightResult& result_;
    DataFolder data_;
    std::unique_ptr<AutomationClient> client_;
    long next_ = 0; // the next line journal entry to look at
};

} // namespace

NightResult RunNight(const NightOptions& options, const std::function<void(const HourFigures&)>& onHour) {
    NightResult result;
    Night(options, result).Run(onHour);
    return result;
}

} // namespace lwnight
