// What a dialled number becomes: the SIP address to call. A number typed as a full "sip:" or "sips:"
// address is called as it stands, once it is known to be a well-formed address; anything else is put
// into the account's dial pattern with every character that may not stand in an address's user part
// escaped (%XX of its UTF-8 bytes). Text that cannot make an address (nothing, control characters, a
// malformed sip: address) makes no address, never a malformed request.
#pragma once

#include "platform/tapi/sip/SipConfig.h"

#include <optional>
#include <string>

namespace platform::tapi::sipline {

// `pattern` holds "{number}" ("sip:{number}@example.org"). Returns nothing, with the reason in `why`,
// when the text cannot make an address.
std::optional<std::string> DialTarget(const std::wstring& dialled, const std::string& pattern,
                                      std::string* why);

// The user part escaping on its own: "+44 (0)1234#" -> "+44%20(0)1234%23".
std::string EscapeUserPart(const std::string& utf8);

// `uri` with the transport parameter that makes the stack use `transport` (none for udp, or when the
// address already names one), and, with `looseRoute`, the parameter that marks a proxy as a loose router.
std::string WithTransport(const std::string& uri, Transport transport, bool looseRoute = false);

// Whether `uri` is a well-formed sip: or sips: address with a host.
bool WellFormedSipUri(const std::string& uri);

} // namespace platform::tapi::sipline
