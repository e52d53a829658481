// Conversion of device paths to the byte strings that the Linux calls take, and back.
//
// A device path is wide text in which '\' and '/' both separate parts; a Linux path is UTF-8 with '/'.
// Bytes of a Linux path that are not UTF-8 come back as the characters U+DC80..U+DCFF and go out again as
// the same bytes, so any existing Linux path survives the round trip. A backslash inside a Linux file name
// cannot be named from the device side.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>
#include <string_view>

namespace platform::fs {

// The Linux path for a device path: UTF-8, every '\' turned into '/'. Characters that are not Unicode
// scalar values become U+FFFD.
std::string ToNativePath(std::wstring_view path);

// The device path for a Linux path (separators left as '/').
std::wstring FromNativePath(std::string_view path);

} // namespace platform::fs
