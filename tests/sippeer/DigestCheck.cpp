#include "tests/sippeer/DigestCheck.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

#include <re.h>

namespace sippeer {
namespace {

std::string Md5Hex(const std::string& text) {
    uint8_t digest[16];
    md5(reinterpret_cast<const uint8_t*>(text.data()), text.size(), digest);
    char hex[33];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
    }
    return std::string(hex, 32);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

std::string DigestParameter(const std::string& header, const std::string& name) {
    const std::string lower = Lower(header);
    const std::string key = Lower(name);
    for (size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
        // A whole parameter name: after a blank or comma, followed by '='.
        const bool starts = at == 0 || lower[at - 1] == ' ' || lower[at - 1] == ',' || lower[at - 1] == '\t';
        size_t eq = at + key.size();
        while (eq < lower.size() && lower[eq] == ' ') {
            ++eq;
        }
        if (!starts || eq >= lower.size() || lower[eq] != '=') {
            continue;
        }
        size_t begin = eq + 1;
        while (begin < header.size() && header[begin] == ' ') {
            ++begin;
        }
        if (begin < header.size() && header[begin] == '"') {
            const size_t end = header.find('"', begin + 1);
            return header.substr(begin + 1, end == std::string::npos ? std::string::npos : end - begin - 1);
        }
        size_t end = header.find_first_of(", \r\n", begin);
        return header.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    }
    return "";
}

bool DigestValid(const std::string& method, const std::string& header, const std::string& user,
                 const std::string& password) {
    if (Lower(header).find("digest") == std::string::npos || DigestParameter(header, "username") != user) {
        return false;
    }
    const std::string algorithm = Lower(DigestParameter(header, "algorithm"));
    if (!algorithm.empty() && algorithm != "md5") {
        return false;
    }
    const std::string nonce = DigestParameter(header, "nonce");
    const std::string ha1 = Md5Hex(user + ":" + DigestParameter(header, "realm") + ":" + password);
    const std::string ha2 = Md5Hex(method + ":" + DigestParameter(header, "uri"));
    const std::string qop = DigestParameter(header, "qop");
    const std::string expected = qop.empty()
                                     ? Md5Hex(ha1 + ":" + nonce + ":" + ha2)
                                     : Md5Hex(ha1 + ":" + nonce + ":" + DigestParameter(header, "nc") + ":" +
                                              DigestParameter(header, "cnonce") + ":" + qop + ":" + ha2);
    return Lower(DigestParameter(header, "response")) == expected;
}

} // namespace sippeer
