// How the automation channel writes and reads the values in its lines: quoted texts, window handles,
// numbers, rectangles, and the comparison of control texts with what a command names.
#pragma once

#include "platform/win/WinTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::automation {

// "text" in UTF-8 with \" \\ \n \r \t escaped, so that it can be read back by SplitWords.
std::string Quote(std::wstring_view text);
std::string Quote(std::string_view utf8);

std::string Hex(std::uintptr_t value);      // 0x1a2b
std::string HandleText(const void* handle); // a handle as Hex, "0" for none
std::string RectText(const RECT& rect);     // left,top,right,bottom

// A whole decimal number, or hexadecimal with 0x; nothing else.
std::optional<long long> ParseNumber(std::string_view text);

std::string Lower(std::string text);

// Texts as the user reads them: without the '&' marks of mnemonics ("&&" stays one '&').
std::wstring WithoutMnemonics(std::wstring_view text);

// True when the control or window text `text` is what `wanted` (UTF-8) names: the same text, with or
// without mnemonic marks.
bool SameText(std::wstring_view text, std::string_view wanted);

} // namespace platform::automation
