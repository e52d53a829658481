// Checks HTTP digest credentials (RFC 2617, MD5, with or without qop=auth) as a SIP request carries them
// in its Authorization or Proxy-Authorization header, by computing the expected response from the
// user's password and comparing it with the one sent.
#pragma once

#include <string>

namespace sippeer {

// The value of parameter `name` in a digest header value ("" when absent); quotes are removed.
std::string DigestParameter(const std::string& header, const std::string& name);

// True when `header` (the value after "Authorization:" or "Proxy-Authorization:") is a digest answer
// for `user` whose response matches `password` for a request with `method`.
bool DigestValid(const std::string& method, const std::string& header, const std::string& user,
                 const std::string& password);

} // namespace sippeer
