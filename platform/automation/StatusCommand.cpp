#include "platform/automation/StatusCommand.h"

#include "platform/automation/DeviceCommands.h"
#include "platform/status/Indicators.h"
#include "platform/win/Utf8.h"

namespace platform::automation {

void RegisterStatusCommand() {
    RegisterDeviceCommand("status",
                          "status: what the monitor cannot do now (microphone, line, sleep), or all well",
                          [](const std::vector<std::string>& args) {
                              if (!args.empty()) {
                                  return CommandResult{false, "status takes no arguments"};
                              }
                              std::string text;
                              for (const auto& r : status::Current()) {
                                  if (!text.empty()) {
                                      text += "\n";
                                  }
                                  text += std::string(status::IndicatorName(r.which)) + ": " + ToUtf8(r.text);
                                  if (!r.detail.empty()) {
                                      text += "; " + r.detail;
                                  }
                              }
                              return CommandResult{true, text.empty() ? "all well" : text};
                          });
}

} // namespace platform::automation
