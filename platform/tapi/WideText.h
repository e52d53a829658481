// Conversions between the platform's wide text (one code point per wchar_t) and UTF-8, for journal
// entries, profile values and automation answers. Invalid input bytes become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace platform::tapi {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

} // namespace platform::tapi
