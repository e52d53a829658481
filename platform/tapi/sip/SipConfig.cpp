#include "platform/tapi/sip/SipConfig.h"

#include "platform/wave/TextValues.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>

namespace platform::tapi::sipline {
namespace {

using Keys = std::map<std::string, std::string>;

std::string Octal(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777u);
    return text;
}

// A password may only sit in a file that nobody but its owner can read.
bool OwnerOnly(const std::string& path, std::string* why) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            *why = path +
                   " does not exist; create it readable by you only with: install -D -m 600 "
                   "/dev/null " +
                   path + " then write the password alone on its first line";
        } else {
            *why = "cannot check who may read " + path + ": " + std::strerror(errno);
        }
        return false;
    }
    if ((info.st_mode & (S_IRGRP | S_IROTH | S_IWGRP | S_IWOTH)) != 0) {
        *why = path + " holds a password but others may read it (mode " + Octal(info.st_mode) +
               "); make it readable by its owner only: chmod 600 " + path;
        return false;
    }
    if (info.st_uid != ::geteuid()) {
        *why = path + " holds a password but belongs to another user";
        return false;
    }
    return true;
}

std::string FromProfileDir(const std::string& path, const std::string& profileDir) {
    if (path.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        return std::string(home != nullptr ? home : "") + path.substr(1);
    }
    if (path.empty() || path[0] == '/' || profileDir.empty()) {
        return path;
    }
    return profileDir + "/" + path;
}

bool Seconds(const std::string& value, std::uint32_t* ms, std::string* why) {
    double seconds = 0;
    if (!wave::ParseDouble(value, &seconds) || !(seconds > 0) || seconds > 86400) {
        *why = "'" + value + "' is not a number of seconds above 0 and at most 86400";
        return false;
    }
    *ms = static_cast<std::uint32_t>(std::lround(seconds * 1000));
    if (*ms == 0) {
        *ms = 1;
    }
    return true;
}

bool SipUri(const std::string& value, std::string* out, std::string* why) {
    if (value.rfind("sip:", 0) != 0 && value.rfind("sips:", 0) != 0) {
        *why = "'" + value + "' is not a sip: address";
        return false;
    }
    for (unsigned char c : value) {
        if (c <= ' ' || c == 0x7f || c == '<' || c == '>' || c == '"') {
            *why = "'" + value + "' holds a character a SIP address may not hold";
            return false;
        }
    }
    *out = value;
    return true;
}

bool Plain(const std::string& value, std::string* out, std::string* why) {
    for (unsigned char c : value) {
        if (c < ' ' || c == 0x7f) {
            *why = "control characters are not allowed";
            return false;
        }
    }
    *out = value;
    return true;
}

bool Local(const std::string& value, SipConfig* config, std::string* why) {
    std::string address = value;
    const auto colon = value.rfind(':');
    const bool bracketed = !value.empty() && value[0] == '[';
    if (colon != std::string::npos && (bracketed ? value[colon - 1] == ']' : value.find(':') == colon)) {
        DWORD port = 0;
        if (!wave::ParseUnsigned32(value.substr(colon + 1), &port) || port > 65535) {
            *why = "'" + value + "' does not end in a port number";
            return false;
        }
        config->localPort = static_cast<std::uint16_t>(port);
        address = value.substr(0, colon);
    }
    if (bracketed) {
        address = address.substr(1, address.size() - 2);
    }
    if (address.empty()) {
        *why = "'" + value + "' names no address";
        return false;
    }
    config->localAddress = address;
    return true;
}

bool Codecs(const std::string& value, SipConfig* config, std::string* why) {
    config->codecs.clear();
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find(',', start);
        if (end == std::string::npos) {
            end = value.size();
        }
        std::string name = value.substr(start, end - start);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        name = wave::Lower(name);
        if (name != "pcmu" && name != "pcma") {
            *why = "'" + value + "' lists a format other than PCMU and PCMA";
            return false;
        }
        config->codecs.push_back(name == "pcmu" ? "PCMU" : "PCMA");
        start = end + 1;
    }
    return true;
}

using Setter = std::function<bool(const std::string&, SipConfig*, std::string*)>;

std::map<std::string, Setter> Setters(const std::string& profileDir) {
    return {
        {"user", [](auto& v, auto* c, auto* why) { return Plain(v, &c->user, why); }},
        {"domain", [](auto& v, auto* c, auto* why) { return Plain(v, &c->domain, why); }},
        {"display_name", [](auto& v, auto* c, auto* why) { return Plain(v, &c->displayName, why); }},
        {"registrar", [](auto& v, auto* c, auto* why) { return SipUri(v, &c->registrar, why); }},
        {"register_interval",
         [](auto& v, auto* c, auto* why) {
             std::uint32_t ms = 0;
             if (!Seconds(v, &ms, why) || ms < 1000) {
                 *why = "'" + v + "' is not a number of seconds from 1 to 86400";
                 return false;
             }
             c->registerInterval = ms / 1000;
             return true;
         }},
        {"outbound_proxy", [](auto& v, auto* c, auto* why) { return SipUri(v, &c->outboundProxy, why); }},
        {"transport",
         [](auto& v, auto* c, auto* why) {
             if (v == "udp" || v == "tcp" || v == "tls") {
                 c->transport = v == "udp" ? Transport::Udp : (v == "tcp" ? Transport::Tcp : Transport::Tls);
                 return true;
             }
             *why = "'" + v + "' is not udp, tcp or tls";
             return false;
         }},
        {"tls_ca",
         [profileDir](auto& v, auto* c, auto*) {
             c->tlsCa = FromProfileDir(v, profileDir);
             return true;
         }},
        {"auth_user", [](auto& v, auto* c, auto* why) { return Plain(v, &c->authUser, why); }},
        {"password", [](auto& v, auto* c, auto* why) { return Plain(v, &c->password, why); }},
        {"password_file",
         [profileDir](auto& v, auto* c, auto* why) {
             const std::string path = FromProfileDir(v, profileDir);
             if (!OwnerOnly(path, why)) {
                 return false;
             }
             std::ifstream in(path);
             if (!in || !std::getline(in, c->password)) {
                 *why = "cannot read a password from " + path;
                 return false;
             }
             if (!c->password.empty() && c->password.back() == '\r') {
                 c->password.pop_back();
             }
             return true;
         }},
        {"local", [](auto& v, auto* c, auto* why) { return Local(v, c, why); }},
        {"dial",
         [](auto& v, auto* c, auto* why) {
             if (v.find("{number}") == std::string::npos) {
                 *why = "'" + v + "' does not hold {number}";
                 return false;
             }
             return SipUri(v, &c->dialPattern, why);
         }},
        {"codecs", [](auto& v, auto* c, auto* why) { return Codecs(v, c, why); }},
        {"no_answer_timeout",
         [](auto& v, auto* c, auto* why) { return Seconds(v, &c->noAnswerTimeoutMs, why); }},
        {"response_timeout",
         [](auto& v, auto* c, auto* why) { return Seconds(v, &c->responseTimeoutMs, why); }},
        {"rtp_timeout", [](auto& v, auto* c, auto* why) { return Seconds(v, &c->rtpTimeoutMs, why); }},
        {"service", [](auto&, auto*, auto*) { return true; }},
    };
}

} // namespace

std::string SipConfig::AccountUri() const {
    return "sip:" + user + "@" + domain;
}

const char* TransportName(Transport transport) {
    switch (transport) {
    case Transport::Udp:
        return "udp";
    case Transport::Tcp:
        return "tcp";
    case Transport::Tls:
        return "tls";
    }
    return "udp";
}

bool ParseSipConfig(const Keys& keys, const std::string& profilePath, const std::string& profileDir,
                    SipConfig* config, std::string* error) {
    SipConfig result;
    const auto setters = Setters(profileDir);
    for (const auto& [key, value] : keys) {
        const auto setter = setters.find(key);
        if (setter == setters.end()) {
            *error = key + ": not a key of the sip service";
            return false;
        }
        std::string why;
        if (!setter->second(value, &result, &why)) {
            *error = key + ": " + why;
            return false;
        }
    }
    if (result.user.empty() || result.domain.empty()) {
        *error = std::string(result.user.empty() ? "user" : "domain") +
                 ": the sip service needs the account's " + "user and domain";
        return false;
    }
    if (keys.count("password") != 0 && keys.count("password_file") != 0) {
        *error = "password_file: give the password or a password file, not both";
        return false;
    }
    std::string why;
    if (keys.count("password") != 0 && !OwnerOnly(profilePath, &why)) {
        *error = "password: " + why;
        return false;
    }
    if (result.authUser.empty()) {
        result.authUser = result.user;
    }
    if (result.dialPattern.empty()) {
        result.dialPattern = "sip:{number}@" + result.domain;
    }
    *config = std::move(result);
    return true;
}

} // namespace platform::tapi::sipline
