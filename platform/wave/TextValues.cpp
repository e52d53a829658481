#include "platform/wave/TextValues.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform::wave {
namespace {

constexpr std::pair<MMRESULT, const char*> kCodeNames[] = {
    {MMSYSERR_NOERROR, "MMSYSERR_NOERROR"},           {MMSYSERR_ERROR, "MMSYSERR_ERROR"},
    {MMSYSERR_BADDEVICEID, "MMSYSERR_BADDEVICEID"},   {MMSYSERR_NOTENABLED, "MMSYSERR_NOTENABLED"},
    {MMSYSERR_ALLOCATED, "MMSYSERR_ALLOCATED"},       {MMSYSERR_INVALHANDLE, "MMSYSERR_INVALHANDLE"},
    {MMSYSERR_NODRIVER, "MMSYSERR_NODRIVER"},         {MMSYSERR_NOMEM, "MMSYSERR_NOMEM"},
    {MMSYSERR_NOTSUPPORTED, "MMSYSERR_NOTSUPPORTED"}, {MMSYSERR_INVALFLAG, "MMSYSERR_INVALFLAG"},
    {MMSYSERR_INVALPARAM, "MMSYSERR_INVALPARAM"},     {WAVERR_BADFORMAT, "WAVERR_BADFORMAT"},
    {WAVERR_STILLPLAYING, "WAVERR_STILLPLAYING"},     {WAVERR_UNPREPARED, "WAVERR_UNPREPARED"},
};

// Decimal, or hexadecimal after 0x (a leading 0 does not make octal).
int BaseOf(const std::string& text) {
    const std::size_t at = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    return (text.size() > at + 1 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) ? 16
                                                                                                     : 10;
}

} // namespace

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return s;
}

bool ParseLong(const std::string& text, long* out) {
    if (text.empty() || text[0] == ' ') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, BaseOf(text));
    if (errno != 0 || end != text.c_str() + text.size()) {
        return false;
    }
    *out = v;
    return true;
}

bool ParseUnsigned32(const std::string& text, DWORD* out) {
    if (text.empty() || text[0] == '-' || text[0] == ' ') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, BaseOf(text));
    if (errno != 0 || end != text.c_str() + text.size() || v > 0xFFFFFFFFull) {
        return false;
    }
    *out = static_cast<DWORD>(v);
    return true;
}

bool ParseDouble(const std::string& text, double* out) {
    if (text.empty() || text[0] == ' ') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size()) {
        return false;
    }
    *out = v;
    return true;
}

bool ParseBool(const std::string& text, bool* out) {
    const std::string t = Lower(text);
    if (t == "yes" || t == "true" || t == "on" || t == "1") {
        *out = true;
        return true;
    }
    if (t == "no" || t == "false" || t == "off" || t == "0") {
        *out = false;
        return true;
    }
    return false;
}

std::string FormatNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string FormatHex32(DWORD v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(v));
    return text;
}

bool ParseResultCode(const std::string& text, MMRESULT* out) {
    DWORD number = 0;
    if (ParseUnsigned32(text, &number)) {
        *out = number;
        return true;
    }
    const std::string wanted = Lower(text);
    for (const auto& [code, name] : kCodeNames) {
        const std::string full = Lower(name);
        const std::string shortName = full.substr(full.find('_') + 1);
        if (wanted == full || wanted == shortName) {
            *out = code;
            return true;
        }
    }
    return false;
}

std::string ResultCodeName(MMRESULT code) {
    for (const auto& [c, name] : kCodeNames) {
        if (c == code) {
            return name;
        }
    }
    return std::to_string(code);
}

} // namespace platform::wave
