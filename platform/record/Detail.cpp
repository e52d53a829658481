#include "platform/record/Detail.h"

namespace platform::record {
namespace {

bool NeedsQuotes(std::string_view value) {
    if (value.empty()) {
        return true;
    }
    for (const char c : value) {
        if (c == ' ' || c == '"' || c == '\\' || c == '\t' || c == '\n') {
            return true;
        }
    }
    return false;
}

} // namespace

std::string DetailText(const DetailPairs& pairs) {
    std::string text;
    for (const auto& [key, value] : pairs) {
        if (!text.empty()) {
            text += ' ';
        }
        text += key;
        text += '=';
        if (!NeedsQuotes(value)) {
            text += value;
            continue;
        }
        text += '"';
        for (const char c : value) {
            if (c == '"' || c == '\\') {
                text += '\\';
            }
            text += c == '\n' ? ' ' : c;
        }
        text += '"';
    }
    return text;
}

std::map<std::string, std::string> ParseDetail(std::string_view text) {
    std::map<std::string, std::string> pairs;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        std::string key;
        while (i < text.size() && text[i] != '=' && text[i] != ' ') {
            key += text[i++];
        }
        std::string value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            if (i < text.size() && text[i] == '"') {
                for (++i; i < text.size() && text[i] != '"'; ++i) {
                    if (text[i] == '\\' && i + 1 < text.size()) {
                        ++i;
                    }
                    value += text[i];
                }
                ++i; // the closing quote
            } else {
                while (i < text.size() && text[i] != ' ') {
                    value += text[i++];
                }
            }
        }
        if (!key.empty()) {
            pairs[key] = value;
        }
    }
    return pairs;
}

} // namespace platform::record
