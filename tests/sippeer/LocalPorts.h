// Free ports on 127.0.0.1 for peers, never fixed numbers, so that tests can run side by side (ctest -j).
// A port is chosen by binding port 0 and reading back what the system gave; it is released just before
// the peer binds it. The system hands out ephemeral ports in turn, so another process taking the same
// port in that short gap is very unlikely; a peer that still finds its port taken fails to start.
//
// The readiness checks read the system's socket tables (/proc/net), which show a bound UDP port or a
// listening TCP port without sending anything to the peer.
#pragma once

#include <vector>

namespace sippeer {

// `count` different ports, each free for both UDP and TCP; empty when none could be found. With
// `firstWithNeighbour`, the first port's neighbour P+1 is free for TCP as well and is none of the others
// (baresip listens for SIP over TLS on the port after its SIP port).
std::vector<int> FreePorts(int count, bool firstWithNeighbour = false);
// True when a UDP socket is bound to 127.0.0.1:port (or the wildcard address).
bool UdpBound(int port);
// True when a TCP socket listens on 127.0.0.1:port (or the wildcard address).
bool TcpListening(int port);

} // namespace sippeer
