#include "platform/tapi/sip/DialTarget.h"

#include "platform/tapi/sip/Re.h"
#include "platform/win/Utf8.h"

#include <cctype>

namespace platform::tapi::sipline {
namespace {

bool UserUnreserved(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    // The unreserved marks and '+', which begins international numbers. The user part may hold more
    // unescaped ("&=$,;?/"), but those also delimit parameters and headers elsewhere in an address, and
    // an escaped character always means the same.
    for (const char allowed : std::string_view("-_.!~*'()+")) {
        if (c == static_cast<unsigned char>(allowed)) {
            return true;
        }
    }
    return false;
}

bool HasControl(std::wstring_view text) {
    for (wchar_t c : text) {
        if (c < L' ' || c == 0x7f) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string EscapeUserPart(const std::string& utf8) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        if (UserUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

bool WellFormedSipUri(const std::string& uri) {
    for (unsigned char c : uri) {
        if (c <= ' ' || c >= 0x7f || c == '<' || c == '>' || c == '"' || c == '\\') {
            return false;
        }
    }
    // The stack's parser takes "sip:desk@" for a host named desk: an '@' must be followed by a host.
    if (const auto at = uri.find('@'); at != std::string::npos) {
        const char next = at + 1 < uri.size() ? uri[at + 1] : '\0';
        if (!std::isalnum(static_cast<unsigned char>(next)) && next != '[') {
            return false;
        }
    }
    struct pl text;
    pl_set_str(&text, uri.c_str());
    struct uri decoded {};
    if (uri_decode(&decoded, &text) != 0) {
        return false;
    }
    const bool sip =
        pl_strcasecmp(&decoded.scheme, "sip") == 0 || pl_strcasecmp(&decoded.scheme, "sips") == 0;
    return sip && decoded.host.l > 0;
}

std::string WithTransport(const std::string& uri, Transport transport, bool looseRoute) {
    const auto headers = uri.find('?');
    std::string address = uri.substr(0, headers);
    const std::string rest = headers == std::string::npos ? std::string() : uri.substr(headers);
    const auto at = address.find('@');
    const std::string params = address.substr(at == std::string::npos ? 0 : at);
    if (transport != Transport::Udp && params.find(";transport=") == std::string::npos) {
        address += std::string(";transport=") + TransportName(transport);
    }
    if (looseRoute && params.find(";lr") == std::string::npos) {
        address += ";lr";
    }
    return address + rest;
}

std::optional<std::string> DialTarget(const std::wstring& dialled, const std::string& pattern,
                                      std::string* why) {
    if (dialled.empty()) {
        *why = "no number to dial";
        return std::nullopt;
    }
    if (HasControl(dialled)) {
        *why = "the number holds control characters";
        return std::nullopt;
    }
    const std::string text = ToUtf8(dialled);
    if (text.rfind("sip:", 0) == 0 || text.rfind("sips:", 0) == 0) {
        if (!WellFormedSipUri(text)) {
            *why = "'" + text + "' is not a well-formed SIP address";
            return std::nullopt;
        }
        return text;
    }
    std::string uri = pattern;
    const std::string escaped = EscapeUserPart(text);
    for (auto at = uri.find("{number}"); at != std::string::npos;
         at = uri.find("{number}", at + escaped.size())) {
        uri.replace(at, 8, escaped);
    }
    if (!WellFormedSipUri(uri)) {
        *why = "'" + uri + "' is not a well-formed SIP address";
        return std::nullopt;
    }
    return uri;
}

} // namespace platform::tapi::sipline
