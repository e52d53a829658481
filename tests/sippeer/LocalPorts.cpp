#include "tests/sippeer/LocalPorts.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace sippeer {
namespace {

// A socket bound to 127.0.0.1:port (0 for any free port), closed with the object.
class BoundSocket {
public:
    BoundSocket(int type, int port) : fd_(socket(AF_INET, type | SOCK_CLOEXEC, 0)) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<uint16_t>(port));
        socklen_t len = sizeof addr;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
            return;
        }
        port_ = ntohs(addr.sin_port);
    }
    ~BoundSocket() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    BoundSocket(const BoundSocket&) = delete;
    BoundSocket& operator=(const BoundSocket&) = delete;

    int port() const { return port_; }

private:
    int fd_;
    int port_ = 0;
};

using Held = std::vector<std::unique_ptr<BoundSocket>>;

// Holds `port` for TCP in `held`; false when it is taken.
bool HoldTcp(Held& held, int port) {
    if (port <= 0 || port > 65535) {
        return false;
    }
    held.push_back(std::make_unique<BoundSocket>(SOCK_STREAM, port));
    return held.back()->port() == port;
}

// True when /proc/net/<table> lists a socket on local port `port` at 127.0.0.1 or 0.0.0.0 in `state`
// (hexadecimal, as the table writes it; "" for any state).
bool Listed(const std::string& table, int port, const std::string& state) {
    std::ifstream in("/proc/net/" + table);
    std::string line;
    std::getline(in, line); // column titles
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, ":%04X", port);
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, st;
        fields >> slot >> local >> remote >> st;
        const auto colon = local.find(':');
        if (colon == std::string::npos || local.substr(colon) != wanted) {
            continue;
        }
        const std::string address = local.substr(0, colon);
        if ((address == "0100007F" || address == "00000000") && (state.empty() || st == state)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<int> FreePorts(int count, bool firstWithNeighbour) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        Held held;
        std::vector<int> ports;
        bool ok = true;
        for (int i = 0; i < count && ok; ++i) {
            auto probe = std::make_unique<BoundSocket>(SOCK_STREAM, 0);
            const int port = probe->port();
            held.push_back(std::move(probe)); // holds the port for TCP
            ok = port > 0;
            if (ok) {
                held.push_back(std::make_unique<BoundSocket>(SOCK_DGRAM, port));
                ok = held.back()->port() == port;
            }
            if (ok && i == 0 && firstWithNeighbour) {
                ok = HoldTcp(held, port + 1);
            }
            ports.push_back(port);
        }
        if (ok) {
            return ports;
        }
    }
    return {};
}

bool UdpBound(int port) {
    return Listed("udp", port, "");
}

bool TcpListening(int port) {
    return Listed("tcp", port, "0A");
}

} // namespace sippeer
