// Splitting a DrawText string into the lines it shows: mnemonic prefixes, line breaks at '\n', word
// wrapping within a width and the end ellipsis. Widths come from a per-character advance, so the layout
// is independent of any font machinery and exact in whole pixels.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gdi {

using AdvanceFn = std::function<int(wchar_t)>;

int TextWidth(std::wstring_view text, const AdvanceFn& advance);

// Removes mnemonic prefixes: "&x" shows as "x", "&&" as "&", a trailing '&' disappears.
std::wstring StripPrefixes(std::wstring_view text);

struct LayoutRules {
    int width = 0;            // the formatting rectangle's width
    bool singleLine = false;  // '\r' and '\n' are dropped and everything goes on one line
    bool wordBreak = false;   // lines wider than `width` break after the last space that fits
    bool endEllipsis = false; // lines still wider than `width` are cut and end in "..."
};

struct TextLine {
    std::wstring text;
    int width = 0;
};

// The lines, in order; an empty text gives one empty line. A single word wider than the width is not
// broken. Spaces at a wrapped line's end are dropped, and so are those that begin the next line.
std::vector<TextLine> LayoutText(std::wstring_view text, const LayoutRules& rules, const AdvanceFn& advance);

} // namespace platform::gdi
