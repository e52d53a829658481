// The SIP account that carries calls, read from the keys of the device profile's line section when its
// service is sip. Every key but user and domain is optional:
//
//   user = <name>                    the account's user part ("monitor")
//   domain = <host>[:<port>]         the account's domain ("sip.example.org", "127.0.0.1:5062")
//   display_name = <text>            the caller name the far end sees (default "Lullwatch")
//   registrar = <sip URI>            register there and keep the registration up (default: no
//                                    registration; calls go straight to the dialled address)
//   register_interval = <s>          how long a registration lasts before it is renewed (default 600);
//                                    after a failure it is tried again this often, at most every 30 s
//   outbound_proxy = <sip URI>       send every request through this proxy
//   transport = udp|tcp|tls          how SIP travels (default udp)
//   tls_ca = <file>                  certificate authorities for tls (PEM)
//   auth_user = <name>               the digest user name (default: user)
//   password = <text>                the digest password; then the profile file itself must be readable
//                                    by its owner only
//   password_file = <file>           a file whose first line is the password; it must be readable by
//                                    its owner only (relative: from the profile's folder; ~/: $HOME)
//   local = <address>[:<port>]       where SIP and the sound are sent from (default: the address of the
//                                    default route, any free port)
//   dial = <pattern>                 how a dialled number becomes the address to call: {number} stands
//                                    for the number, escaped (default "sip:{number}@<domain>"); a
//                                    number typed as a full sip: or sips: address is called as it stands
//   codecs = <list>                  the sound formats offered, in order of preference (default
//                                    "PCMU,PCMA")
//   no_answer_timeout = <s>          an unanswered call gives up after this long (default 60)
//   response_timeout = <s>           a call the far end does not answer at all (no provisional or final
//                                    answer) gives up after this long as unreachable (default 32)
//   rtp_timeout = <s>                a connected call whose far end sends no sound for this long ends as
//                                    unreachable (default 15)
//   service = sip                    the host's choice of telephony service; not read here
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform::tapi::sipline {

enum class Transport { Udp, Tcp, Tls };

struct SipConfig {
    std::string user;
    std::string domain;
    std::string displayName = "Lullwatch";
    std::string registrar; // empty: no registration
    std::uint32_t registerInterval = 600;
    std::string outboundProxy;
    Transport transport = Transport::Udp;
    std::string tlsCa;
    std::string authUser;
    std::string password;
    std::string localAddress; // empty: the default route's address
    std::uint16_t localPort = 0;
    std::string dialPattern; // contains "{number}"
    std::vector<std::string> codecs = {"PCMU", "PCMA"};
    std::uint32_t noAnswerTimeoutMs = 60'000;
    std::uint32_t responseTimeoutMs = 32'000;
    std::uint32_t rtpTimeoutMs = 15'000;

    // "sip:monitor@sip.example.org"
    std::string AccountUri() const;
};

// Fills `config` from the section's keys. `profilePath` is the profile file (checked when it holds the
// password) and `profileDir` the folder that relative file names start from. On a bad key or value, or a
// password readable by others, returns false with `error` naming the key and the problem.
bool ParseSipConfig(const std::map<std::string, std::string>& keys, const std::string& profilePath,
                    const std::string& profileDir, SipConfig* config, std::string* error);

// The transport as the URI parameter names it ("udp", "tcp", "tls").
const char* TransportName(Transport transport);

} // namespace platform::tapi::sipline
