// The device around the program: the services a device profile chooses (clock, data folder, screen
// size, sound, telephony), the screen and its front-end, the automation channel, and the ways of ending
// the program from outside. Start brings them up in that order before the program runs; Stop takes them
// down in reverse once the program has returned. Nothing here runs a window procedure.
#pragma once

#include "platform/automation/Channel.h"
#include "platform/automation/SocketChannel.h"
#include "platform/automation/StdioChannel.h"
#include "platform/host/DeviceProfile.h"
#include "platform/host/ProgramEnd.h"
#include "platform/host/SignalWatch.h"
#include "platform/screen/Screen.h"
#include "platform/tapi/TelephonyService.h"

#include <memory>
#include <string>

namespace platform::host {

class Device {
public:
    // `name` prefixes the messages on standard error.
    Device(std::string name, DeviceProfile profile);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool Start(std::string* error);
    // Start failed because the screen the profile asks for cannot be shown (no working display).
    bool DisplayFailed() const { return displayFailed_; }

    // The program has returned: stand the watchdog down, then Stop.
    void ProgramFinished();
    void Stop();

private:
    bool StartServices(std::string* error);
    bool StartScreen(std::string* error);
    bool StartAutomation(std::string* error);
    void Say(const std::string& message) const;

    const std::string name_;
    const DeviceProfile profile_;
    std::string temporaryRoot_;
    std::shared_ptr<tapi::TelephonyService> line_;
    ProgramEnd end_;
    std::unique_ptr<screen::Screen> screen_;
    std::unique_ptr<automation::Channel> channel_;
    std::unique_ptr<automation::StdioChannel> stdio_;
    std::unique_ptr<automation::SocketChannel> socket_;
    std::unique_ptr<SignalWatch> signals_;
    bool started_ = false;
    bool displayFailed_ = false;
};

} // namespace platform::host
