#include "platform/automation/Reply.h"

namespace platform::automation {
namespace {

bool LooksLikeStatus(const std::string& line) {
    for (const char* word : {"ok", "error"}) {
        const std::string w(word);
        if (line.compare(0, w.size(), w) == 0 && (line.size() == w.size() || line[w.size()] == ' ')) {
            return true;
        }
    }
    return false;
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            continue;
        }
        if (text[i] == '\n') {
            if (i + 1 < text.size()) {
                out += "; ";
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

Reply Reply::Ok(std::string status) {
    return Reply{{}, true, std::move(status)};
}

Reply Reply::Error(std::string reason) {
    return Reply{{}, false, std::move(reason)};
}

std::string Reply::Format() const {
    std::string out;
    for (const auto& line : lines) {
        if (LooksLikeStatus(line)) {
            out += ' ';
        }
        out += OneLine(line);
        out += '\n';
    }
    const std::string status = OneLine(this->status);
    out += ok ? "ok" : "error";
    if (!status.empty()) {
        out += ' ';
        out += status;
    } else if (!ok) {
        out += " failed";
    }
    out += '\n';
    return out;
}

} // namespace platform::automation
