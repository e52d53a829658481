#include "tests/sippeer/BaresipControl.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include <re.h>

namespace sippeer {
namespace {

// `text` as a JSON string literal.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string StringOf(const odict* o, const char* key) {
    const char* value = odict_string(o, key);
    return value != nullptr ? value : "";
}

// The length before a netstring's colon; nothing when the bytes are not a netstring.
std::optional<size_t> NetstringLength(const std::string& buffer, size_t colon) {
    if (colon == 0 || colon > 9) {
        return std::nullopt;
    }
    size_t length = 0;
    for (size_t i = 0; i < colon; ++i) {
        if (buffer[i] < '0' || buffer[i] > '9') {
            return std::nullopt;
        }
        length = length * 10 + static_cast<size_t>(buffer[i] - '0');
    }
    return length;
}

bool SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

BaresipControl::~BaresipControl() {
    Close();
}

bool BaresipControl::Connect(int port, Deadline deadline) {
    Close();
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    for (;;) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            fd_ = fd;
            break;
        }
        if (fd >= 0) {
            close(fd);
        }
        if (MillisecondsLeft(deadline) == 0) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    {
        std::lock_guard lock(mutex_);
        open_ = true;
    }
    reader_ = std::thread([this] { ReadLoop(); });
    return true;
}

void BaresipControl::Close() {
    if (fd_ < 0) {
        return;
    }
    shutdown(fd_, SHUT_RDWR);
    if (reader_.joinable()) {
        reader_.join();
    }
    close(fd_);
    fd_ = -1;
}

bool BaresipControl::Connected() const {
    std::lock_guard lock(mutex_);
    return open_;
}

std::optional<ControlReply> BaresipControl::Command(const std::string& command, const std::string& params,
                                                    Deadline deadline) {
    std::string token;
    {
        std::lock_guard lock(mutex_);
        if (!open_) {
            return std::nullopt;
        }
        token = std::to_string(nextToken_++);
    }
    const std::string json = "{\"command\":" + Quoted(command) + ",\"params\":" + Quoted(params) +
                             ",\"token\":" + Quoted(token) + "}";
    if (!SendAll(fd_, std::to_string(json.size()) + ":" + json + ",")) {
        return std::nullopt;
    }
    std::unique_lock lock(mutex_);
    if (!changed_.wait_until(lock, deadline, [&] { return replies_.count(token) > 0 || !open_; }) ||
        replies_.count(token) == 0) {
        return std::nullopt;
    }
    ControlReply reply = replies_[token];
    replies_.erase(token);
    return reply;
}

std::optional<BaresipEvent> BaresipControl::WaitForEvent(const std::string& type, Deadline deadline) {
    std::unique_lock lock(mutex_);
    std::optional<BaresipEvent> found;
    changed_.wait_until(lock, deadline, [&] {
        for (auto it = pending_.begin(); it != pending_.end(); ++it) {
            if (it->type == type) {
                found = *it;
                pending_.erase(it);
                return true;
            }
        }
        return false;
    });
    return found;
}

std::vector<BaresipEvent> BaresipControl::Events() const {
    std::lock_guard lock(mutex_);
    return history_;
}

void BaresipControl::ReadLoop() {
    std::string buffer;
    char chunk[4096];
    bool framed = true;
    while (framed) {
        const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        buffer.append(chunk, static_cast<size_t>(n));
        // Netstrings: "<length>:<bytes>,"
        while (framed) {
            const auto colon = buffer.find(':');
            if (colon == std::string::npos) {
                break;
            }
            const auto length = NetstringLength(buffer, colon);
            framed = length.has_value();
            if (!framed || buffer.size() < colon + 1 + *length + 1) {
                break;
            }
            Handle(buffer.substr(colon + 1, *length));
            buffer.erase(0, colon + 1 + *length + 1);
        }
    }
    std::lock_guard lock(mutex_);
    open_ = false;
    changed_.notify_all();
}

void BaresipControl::Handle(const std::string& json) {
    odict* o = nullptr;
    if (json_decode_odict(&o, 32, json.data(), json.size(), 8) != 0 || o == nullptr) {
        return;
    }
    bool flag = false;
    std::lock_guard lock(mutex_);
    if (odict_get_boolean(o, &flag, "response") && flag) {
        ControlReply reply;
        odict_get_boolean(o, &reply.ok, "ok");
        reply.data = StringOf(o, "data");
        replies_[StringOf(o, "token")] = reply;
    } else if (odict_get_boolean(o, &flag, "event") && flag) {
        BaresipEvent event{StringOf(o, "type"),    StringOf(o, "accountaor"), StringOf(o, "direction"),
                           StringOf(o, "peeruri"), StringOf(o, "id"),         StringOf(o, "param")};
        pending_.push_back(event);
        history_.push_back(event);
    }
    mem_deref(o);
    changed_.notify_all();
}

} // namespace sippeer
