#include "platform/wave/WaveConfig.h"

#include <algorithm>
#include <functional>

#include "platform/automation/DeviceCommands.h"
#include "platform/wave/TextValues.h"

namespace platform::wave {
namespace {

using KeyParser = std::function<bool(const std::string& value, WaveConfig* config, std::string* why)>;

bool ParseFaults(const std::string& value, WaveConfig* config, std::string* why) {
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t end = std::min(value.find(';', start), value.size());
        const auto words = platform::automation::SplitWords(value.substr(start, end - start));
        if (!words.empty()) {
            FaultRule rule;
            std::string reason;
            if (!ParseFaultRule(words, &rule, &reason)) {
                *why = reason + "; expected rules '<call> <code> [once|always|<n>]' separated by ';'";
                return false;
            }
            config->faults.push_back(rule);
        }
        start = end + 1;
    }
    return true;
}

const std::map<std::string, KeyParser>& Parsers() {
    static const std::map<std::string, KeyParser> parsers = {
        {"source",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             const std::string s = Lower(v);
             c->source = s == "generator"   ? WaveConfig::Source::Generator
                         : s == "recording" ? WaveConfig::Source::Recording
                                            : WaveConfig::Source::Alsa;
             *why = "expected generator, recording or alsa";
             return s == "generator" || s == "recording" || s == "alsa";
         }},
        {"generator",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             return ParseGenerator(platform::automation::SplitWords(v), &c->generator, why);
         }},
        {"recording",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             c->recordingPath = v;
             *why = "expected a file name";
             return !v.empty();
         }},
        {"loop",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             *why = "expected yes or no";
             return ParseBool(v, &c->loop);
         }},
        {"alsa_device",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             c->alsaDevice = v;
             *why = "expected an ALSA device name";
             return !v.empty();
         }},
        {"volume",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             const std::string s = Lower(v);
             c->volume = s == "alsa" ? WaveConfig::Volume::Alsa : WaveConfig::Volume::Memory;
             *why = "expected memory or alsa";
             return s == "memory" || s == "alsa";
         }},
        {"volume_initial",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             *why = "expected a volume word 0..0xFFFFFFFF";
             return ParseUnsigned32(v, &c->volumeInitial);
         }},
        {"mixer_card",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             c->mixerCard = v;
             *why = "expected an ALSA card name";
             return !v.empty();
         }},
        {"mixer_control",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             c->mixerControl = v;
             *why = "expected an ALSA mixer control name";
             return !v.empty();
         }},
        {"noise_seed",
         [](const std::string& v, WaveConfig* c, std::string* why) {
             DWORD seed = 0;
             *why = "expected a number 0..0xFFFFFFFF";
             const bool ok = ParseUnsigned32(v, &seed);
             c->noiseSeed = seed;
             return ok;
         }},
        {"fail", ParseFaults},
    };
    return parsers;
}

} // namespace

bool ParseWaveConfig(const std::map<std::string, std::string>& keys, const std::string& profileDir,
                     WaveConfig* config, std::string* error) {
    WaveConfig result;
    for (const auto& [key, value] : keys) {
        const auto it = Parsers().find(Lower(key));
        if (it == Parsers().end()) {
            std::string known;
            for (const auto& [name, parser] : Parsers()) {
                known += (known.empty() ? "" : ", ") + name;
            }
            *error = "sound: unknown key '" + key + "' (known keys: " + known + ")";
            return false;
        }
        std::string why;
        if (!it->second(value, &result, &why)) {
            *error = "sound: bad value '" + value + "' for key '" + key + "': " + why;
            return false;
        }
    }
    if (result.source == WaveConfig::Source::Recording && result.recordingPath.empty()) {
        *error = "sound: source recording needs the key 'recording' (a sound file)";
        return false;
    }
    if (!result.recordingPath.empty() && result.recordingPath[0] != '/' && !profileDir.empty()) {
        result.recordingPath = profileDir + "/" + result.recordingPath;
    }
    *config = std::move(result);
    return true;
}

} // namespace platform::wave
