// The detail of a recorded event: words of the form key=value, separated by blanks. A value that holds a
// blank, a quote or a backslash, or is empty, is written in double quotes with \" and \\ inside, so that
// a phone number or a fault's text comes back exactly as it went in.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::record {

using DetailPairs = std::vector<std::pair<std::string, std::string>>;

// "level=4 step=3", "number=\"+44 20 7946 0000\"".
std::string DetailText(const DetailPairs& pairs);

// The pairs of a detail text; a word without '=' is kept with an empty value.
std::map<std::string, std::string> ParseDetail(std::string_view text);

} // namespace platform::record
