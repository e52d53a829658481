// Conversions between the platform's wide text (one code point per wchar_t) and UTF-8, for the
// front-ends' text input, the automation channel's lines, the telephony journal and profile values.
// Invalid input becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

} // namespace platform
