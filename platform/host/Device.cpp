#include "platform/host/Device.h"

#include "platform/automation/StatusCommand.h"
#include "platform/controls/ControlClasses.h"
#include "platform/dbus/SystemBus.h"
#include "platform/fs/AppDataRoot.h"
#include "platform/fs/BackendModule.h"
#include "platform/fs/NativePath.h"
#include "platform/record/Record.h"
#include "platform/screen/HeadlessFrontEnd.h"
#include "platform/screen/StatusText.h"
#include "platform/shell/SleepInhibitor.h"
#include "platform/tapi/ConnectTimeout.h"
#include "platform/tapi/DialRules.h"
#include "platform/tapi/InstalledService.h"
#include "platform/tapi/modem/ModemLineService.h"
#include "platform/tapi/ofono/OfonoLineService.h"
#include "platform/tapi/simulated/LineCommand.h"
#include "platform/tapi/simulated/SimulatedLineService.h"
#include "platform/tapi/sip/SipModule.h"
#include "platform/wave/WaveService.h"
#include "platform/win/Clock.h"
#include "platform/win/Desktop.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace platform::host {
namespace {

std::string TemporaryFolder(std::string* error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/lullwatch-data-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        *error = "cannot make a temporary data folder " + pattern;
        return "";
    }
    return pattern;
}

} // namespace

Device::Device(std::string name, DeviceProfile profile)
    : name_(std::move(name)), profile_(std::move(profile)), end_(name_) {}

Device::~Device() {
    Stop();
}

void Device::Say(const std::string& message) const {
    std::fprintf(stderr, "%s: %s\n", name_.c_str(), message.c_str());
    std::fflush(stderr);
}

bool Device::Start(std::string* error) {
    started_ = true;
    return StartServices(error) && StartScreen(error) && StartAutomation(error) && [this] {
        signals_ = std::make_unique<SignalWatch>(
            [this](int signal) { end_.Request(signal == SIGINT ? "interrupted" : "terminated"); });
        return true;
    }();
}

bool Device::StartServices(std::string* error) {
    Clock::SetFactor(profile_.clockFactor);
    switch (profile_.dataRoot) {
    case DeviceProfile::DataRoot::Default:
        fs::SetAppDataRoot(L"");
        break;
    case DeviceProfile::DataRoot::Temporary:
        temporaryRoot_ = TemporaryFolder(error);
        if (temporaryRoot_.empty()) {
            return false;
        }
        fs::SetAppDataRoot(fs::FromNativePath(temporaryRoot_));
        Say("data folder " + temporaryRoot_ + " (removed at exit)");
        break;
    case DeviceProfile::DataRoot::Folder:
        fs::SetAppDataRoot(
            fs::FromNativePath(std::filesystem::absolute(profile_.dataFolder).lexically_normal().string()));
        break;
    }
    if (const std::wstring root = fs::AppDataRoot(); !root.empty()) {
        record::Start(
            {fs::ToNativePath(root) + "/Lullwatch", profile_.recordKeepDays, profile_.recordEnabled}, name_);
    }
    desktop::SetScreenSize(profile_.landscape ? 320 : 240, profile_.landscape ? 240 : 320);
    controls::RegisterControlClasses();

    std::string why;
    if (!wave::Configure(profile_.sound, &why)) {
        *error = "sound: " + why;
        return false;
    }
    tapi::SetConnectTimeoutMs(profile_.connectTimeoutMs);
    tapi::SetEmergencyNumbers("profile", profile_.emergencyNumbers);
    switch (profile_.lineService) {
    case DeviceProfile::LineService::Simulated: {
        auto service = std::make_shared<tapi::SimulatedLineService>(profile_.simulatedLine);
        tapi::InstallService(service);
        tapi::RegisterLineCommand(service);
        line_ = service;
        break;
    }
    case DeviceProfile::LineService::Sip: {
        std::shared_ptr<tapi::TelephonyService> service;
        const auto start = fs::FindBackend<decltype(lullwatch_sip_line_service)>(
            "lullwatch-sip.so", "lullwatch_sip_line_service", &why);
        if (!start || !start(profile_.sipLine, &service, &why)) {
            *error = "line: " + why;
            return false;
        }
        tapi::InstallService(service);
        tapi::RegisterLineCommand(nullptr); // the journal of line calls
        line_ = service;
        Say("calls go out over SIP as " + profile_.sipLine.AccountUri());
        break;
    }
    case DeviceProfile::LineService::Modem: {
        auto service = tapi::modem::ModemLineService::Start(profile_.modemLine);
        tapi::InstallService(service);
        line_ = service;
        Say("calls go out over the cellular modem (ModemManager)");
        break;
    }
    case DeviceProfile::LineService::Ofono: {
        auto service = tapi::ofono::OfonoLineService::Start();
        tapi::InstallService(service);
        line_ = service;
        Say("calls go out over the cellular modem (oFono)");
        break;
    }
    case DeviceProfile::LineService::None:
        tapi::InstallService(nullptr);
        break;
    }
    screen::SetStatusText(tapi::LineServiceLabel());
    return true;
}

bool Device::StartScreen(std::string* error) {
    std::string note;
    screen_ = std::make_unique<screen::Screen>(screen::MakeFrontEnd(profile_.frontEnd, profile_.zoom, &note));
    screen_->SetCloseHandler([this] { end_.Request("the screen window was closed"); });
    std::string why;
    if (!screen_->Start(&why)) {
        if (profile_.frontEnd != screen::FrontEndChoice::Auto) {
            *error = why;
            displayFailed_ = true;
            return false;
        }
        note = why + "; running headless instead";
        screen_ = std::make_unique<screen::Screen>(std::make_unique<screen::HeadlessFrontEnd>());
        screen_->Start(&why);
    }
    if (!note.empty()) {
        Say(note);
    }
    if (std::string(screen_->FrontEndName()) == "sdl") {
        Say("screen in a window: click with the mouse; F1 and F2 are the soft keys, F5 turns the screen");
    } else {
        Say("screen headless: watch it through the automation channel (windows, controls <window>, "
            "snapshot <file.png>)");
    }
    return true;
}

bool Device::StartAutomation(std::string* error) {
    automation::ChannelHooks hooks;
    hooks.screen = screen_.get();
    hooks.quit = [this] { end_.Request("asked to quit through the automation channel"); };
    channel_ = std::make_unique<automation::Channel>(std::move(hooks));
    automation::RegisterStatusCommand();
    switch (profile_.automation) {
    case DeviceProfile::Automation::Off:
        Say("automation off");
        break;
    case DeviceProfile::Automation::Stdio:
        stdio_ = std::make_unique<automation::StdioChannel>(
            *channel_, 0, 1, [this] { end_.Request("the automation input ended"); });
        stdio_->Start();
        Say("automation on standard input and output (send help)");
        break;
    case DeviceProfile::Automation::Socket:
        socket_ = std::make_unique<automation::SocketChannel>(*channel_);
        if (!socket_->Start(profile_.socketPath, error)) {
            return false;
        }
        Say("automation socket " + socket_->Path());
        break;
    }
    return true;
}

void Device::ProgramFinished() {
    end_.Finished();
    Stop();
}

void Device::Stop() {
    if (!started_) {
        return;
    }
    started_ = false;
    record::Stop(0); // when the program did not get to run; after it ran, the host has stopped it already
    signals_.reset();
    if (stdio_) {
        stdio_->Stop();
    }
    if (socket_) {
        socket_->Stop();
    }
    if (screen_) {
        screen_->Stop();
    }
    wave::Shutdown();
    tapi::InstallService(nullptr);
    if (auto modem = std::dynamic_pointer_cast<tapi::modem::ModemLineService>(line_)) {
        modem->Stop(); // hangs up what is still up while the bus is there
    }
    if (auto ofono = std::dynamic_pointer_cast<tapi::ofono::OfonoLineService>(line_)) {
        ofono->Stop(); // hangs up what is still up while the bus is there
    }
    line_.reset();
    shell::ReleaseAllSleepInhibitors();
    dbus::SystemBus::Shutdown();
    if (!temporaryRoot_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(temporaryRoot_, ignored);
    }
}

} // namespace platform::host
