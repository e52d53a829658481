#include "platform/host/DeviceProfile.h"

#include "platform/screen/SdlFrontEnd.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string_view>

#include <unistd.h>

namespace platform::host {
namespace {

using Keys = std::map<std::string, std::string>;

// A section of our own: each key is handled by one parser; `why` says what was expected.
using KeyParser = std::function<bool(const std::string& value, DeviceProfile* profile, std::string* why)>;

bool Number(const std::string& text, double* out) {
    char* end = nullptr;
    *out = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

bool Choice(const std::string& value, std::initializer_list<const char*> choices, int* index) {
    std::string lower = value;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    int i = 0;
    for (const char* choice : choices) {
        if (lower == choice) {
            *index = i;
            return true;
        }
        ++i;
    }
    return false;
}

std::string Folder(const std::string& value, const std::string& profileDir) {
    if (value.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        return std::string(home ? home : "") + value.substr(1);
    }
    if (value[0] == '/' || profileDir.empty()) {
        return value;
    }
    return profileDir + "/" + value;
}

bool ParseSection(const std::string& file, const std::string& section, const Keys& keys,
                  const std::map<std::string, KeyParser>& parsers, DeviceProfile* profile,
                  std::string* error) {
    for (const auto& [key, value] : keys) {
        const auto it = parsers.find(key);
        std::string why;
        if (it == parsers.end()) {
            why = "unknown key (known:";
            for (const auto& [name, parser] : parsers) {
                why += " " + name;
            }
            why += ")";
        } else if (it->second(value, profile, &why)) {
            continue;
        }
        *error = file + ", section [" + section + "], key " + key + ": " + why;
        return false;
    }
    return true;
}

std::map<std::string, KeyParser> DeviceParsers(const std::string& profileDir) {
    return {
        {"clock_factor",
         [](const std::string& v, DeviceProfile* p, std::string* why) {
             *why = "'" + v + "' is not a number above 0 and at most 1000";
             return Number(v, &p->clockFactor) && p->clockFactor > 0 && p->clockFactor <= 1000;
         }},
        {"data_root",
         [profileDir](const std::string& v, DeviceProfile* p, std::string* why) {
             *why = "expected a folder or temporary";
             if (v.empty()) {
                 p->dataRoot = DeviceProfile::DataRoot::Default;
             } else if (v == "temporary") {
                 p->dataRoot = DeviceProfile::DataRoot::Temporary;
             } else {
                 p->dataRoot = DeviceProfile::DataRoot::Folder;
                 p->dataFolder = Folder(v, profileDir);
             }
             return true;
         }},
    };
}

std::map<std::string, KeyParser> ScreenParsers() {
    return {
        {"frontend",
         [](const std::string& v, DeviceProfile* p, std::string* why) {
             *why = "'" + v + "' is not auto, sdl or headless";
             int i = 0;
             if (!Choice(v, {"auto", "sdl", "headless"}, &i)) {
                 return false;
             }
             p->frontEnd = i == 0 ? screen::FrontEndChoice::Auto
                                  : (i == 1 ? screen::FrontEndChoice::Sdl : screen::FrontEndChoice::Headless);
             return true;
         }},
        {"orientation",
         [](const std::string& v, DeviceProfile* p, std::string* why) {
             *why = "'" + v + "' is not portrait or landscape";
             int i = 0;
             p->landscape = Choice(v, {"portrait", "landscape"}, &i) && i == 1;
             return Choice(v, {"portrait", "landscape"}, &i);
         }},
        {"zoom",
         [](const std::string& v, DeviceProfile* p, std::string* why) {
             *why = "'" + v + "' is not a whole number from 1 to 6 or fit";
             if (v == "fit") {
                 p->zoom = screen::SdlFrontEnd::kZoomFit;
                 return true;
             }
             double zoom = 0;
             if (!Number(v, &zoom) || zoom != static_cast<int>(zoom) || zoom < 1 || zoom > 6) {
                 return false;
             }
             p->zoom = static_cast<int>(zoom);
             return true;
         }},
    };
}

std::map<std::string, KeyParser> AutomationParsers(const std::string& profileDir) {
    return {
        {"channel",
         [](const std::string& v, DeviceProfile* p, std::string* why) {
             *why = "'" + v + "' is not socket, stdio or off";
             int i = 0;
             if (!Choice(v, {"socket", "stdio", "off"}, &i)) {
                 return false;
             }
             p->automation =
                 i == 0 ? DeviceProfile::Automation::Socket
                        : (i == 1 ? DeviceProfile::Automation::Stdio : DeviceProfile::Automation::Off);
             return true;
         }},
        {"socket",
         [profileDir](const std::string& v, DeviceProfile* p, std::string* why) {
             *why = "expected a path";
             p->socketPath = v.empty() ? "" : Folder(v, profileDir);
             return true;
         }},
    };
}

std::map<std::string, KeyParser> RecordParsers() {
    return {
        {"enabled",
         [](const std::string& v, DeviceProfile* p, std::string* why) {
             *why = "'" + v + "' is not yes or no";
             int i = 0;
             p->recordEnabled = Choice(v, {"yes", "no"}, &i) && i == 0;
             return Choice(v, {"yes", "no"}, &i);
         }},
        {"keep_days",
         [](const std::string& v, DeviceProfile* p, std::string* why) {
             *why = "'" + v + "' is not a whole number from 1 to 3650";
             double days = 0;
             if (!Number(v, &days) || days != static_cast<int>(days) || days < 1 || days > 3650) {
                 return false;
             }
             p->recordKeepDays = static_cast<int>(days);
             return true;
         }},
    };
}

// [line] connect_timeout, common to every service: whole seconds, 1 to 3600.
bool ParseConnectTimeout(const ProfileFile& file, Keys* keys, DeviceProfile* profile, std::string* error) {
    const auto it = keys->find("connect_timeout");
    if (it == keys->end()) {
        return true;
    }
    double seconds = 0;
    if (!Number(it->second, &seconds) || seconds < 1 || seconds > 3600 ||
        seconds != static_cast<int>(seconds)) {
        *error = file.path + ", section [line], key connect_timeout: '" + it->second +
                 "' is not a whole number of seconds from 1 to 3600";
        return false;
    }
    profile->connectTimeoutMs = static_cast<std::uint64_t>(seconds) * 1000;
    keys->erase(it);
    return true;
}

// `emergency_numbers`, a key of every service: numbers separated by commas or blanks.
bool TakeEmergencyNumbers(const ProfileFile& file, Keys* keys, DeviceProfile* profile, std::string* error) {
    const auto it = keys->find("emergency_numbers");
    if (it == keys->end()) {
        return true;
    }
    std::string number;
    for (const char c : it->second + ",") {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!number.empty()) {
                profile->emergencyNumbers.push_back(number);
            }
            number.clear();
        } else if ((c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#') {
            number += c;
        } else if (std::string_view("-./()").find(c) == std::string_view::npos) {
            *error = file.path + ", section [line], key emergency_numbers: '" + it->second +
                     "' is not a list of numbers separated by commas";
            return false;
        }
    }
    keys->erase(it);
    return true;
}

bool ParseLine(const ProfileFile& file, Keys keys, DeviceProfile* profile, std::string* error) {
    if (!ParseConnectTimeout(file, &keys, profile, error) ||
        !TakeEmergencyNumbers(file, &keys, profile, error)) {
        return false;
    }
    const auto service = keys.find("service");
    const std::string name = service != keys.end() ? service->second : "simulated";
    if (name != "simulated" && name != "sip" && name != "modem" && name != "ofono" && name != "none") {
        *error = file.path + ", section [line], key service: '" + name +
                 "' is not simulated, sip, modem, ofono or none";
        return false;
    }
    std::string why;
    if (name == "modem") {
        profile->lineService = DeviceProfile::LineService::Modem;
        if (!tapi::modem::ParseModemConfig(keys, &profile->modemLine, &why)) {
            *error = file.path + ", section [line], key " + why;
            return false;
        }
        return true;
    }
    if (name == "sip") {
        profile->lineService = DeviceProfile::LineService::Sip;
        if (!tapi::sipline::ParseSipConfig(keys, file.path, file.directory, &profile->sipLine, &why)) {
            *error = file.path + ", section [line], key " + why;
            return false;
        }
        return true;
    }
    if (name == "ofono") {
        profile->lineService = DeviceProfile::LineService::Ofono;
        for (const auto& [key, value] : keys) {
            if (key != "service") {
                *error = file.path + ", section [line], key " + key + ": not a key of the ofono service";
                return false;
            }
        }
        return true;
    }
    profile->lineService =
        name == "none" ? DeviceProfile::LineService::None : DeviceProfile::LineService::Simulated;
    if (!tapi::ParseSimulatedLineConfig(keys, &profile->simulatedLine, &why)) {
        *error = file.path + ", section [line], key " + why;
        return false;
    }
    return true;
}

bool ParseSound(const ProfileFile& file, const Keys& keys, DeviceProfile* profile, std::string* error) {
    std::string why;
    if (!wave::ParseWaveConfig(keys, file.directory, &profile->sound, &why)) {
        if (why.rfind("sound: ", 0) == 0) {
            why.erase(0, 7);
        }
        *error = file.path + ", section [sound]: " + why;
        return false;
    }
    // A recording that is not there is a mistake in the profile, found before the device starts.
    const std::string& recording = profile->sound.recordingPath;
    if (profile->sound.source == wave::WaveConfig::Source::Recording &&
        ::access(recording.c_str(), R_OK) != 0) {
        *error =
            file.path + ", section [sound], key recording: " + recording +
            (errno == ENOENT ? " does not exist" : " cannot be read: " + std::string(std::strerror(errno)));
        return false;
    }
    return true;
}

} // namespace

bool ParseDeviceProfile(const ProfileFile& file, DeviceProfile* profile, std::string* error) {
    DeviceProfile result;
    static const std::set<std::string> kSections = {"device", "screen", "automation",
                                                    "sound",  "line",   "record"};
    for (const auto& [section, keys] : file.sections) {
        if (kSections.count(section) == 0) {
            *error = file.path + ": unknown section [" + section +
                     "] (known: [device] [screen] [automation] "
                     "[sound] [line] [record])";
            return false;
        }
    }
    const auto keysOf = [&](const std::string& section) {
        const auto it = file.sections.find(section);
        return it == file.sections.end() ? Keys{} : it->second;
    };
    if (!ParseSection(file.path, "device", keysOf("device"), DeviceParsers(file.directory), &result, error) ||
        !ParseSection(file.path, "screen", keysOf("screen"), ScreenParsers(), &result, error) ||
        !ParseSection(file.path, "automation", keysOf("automation"), AutomationParsers(file.directory),
                      &result, error) ||
        !ParseSound(file, keysOf("sound"), &result, error) ||
        !ParseLine(file, keysOf("line"), &result, error) ||
        !ParseSection(file.path, "record", keysOf("record"), RecordParsers(), &result, error)) {
        return false;
    }
    if (result.sound.source == wave::WaveConfig::Source::Alsa && result.clockFactor != 1) {
        *error = file.path + ", section [device], key clock_factor: must be 1 with a real microphone "
                             "(section [sound], source = alsa)";
        return false;
    }
    *profile = std::move(result);
    return true;
}

} // namespace platform::host
