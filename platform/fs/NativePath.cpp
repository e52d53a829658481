#include "platform/fs/NativePath.h"

namespace platform::fs {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// Bytes that are not UTF-8 travel as these characters (the low surrogates U+DC80..U+DCFF never occur as
// characters of their own).
constexpr char32_t kEscapedByteBase = 0xDC00;

void AppendUtf8(std::string& out, char32_t c) {
    if (c >= kEscapedByteBase + 0x80 && c <= kEscapedByteBase + 0xFF) {
        out.push_back(static_cast<char>(c - kEscapedByteBase));
        return;
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        c = kReplacement;
    }
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes one well-formed UTF-8 sequence at the start of `in`; returns its length, or 0 when the bytes
// there are not UTF-8 (overlong forms, surrogates and values above U+10FFFF included).
std::size_t DecodeUtf8(std::string_view in, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(in[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, c = lead & 0x07;
    } else {
        return 0;
    }
    if (in.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (byte(i) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return length;
}

} // namespace

std::string ToNativePath(std::wstring_view path) {
    std::string out;
    out.reserve(path.size());
    for (const wchar_t w : path) {
        const auto c = static_cast<char32_t>(w);
        AppendUtf8(out, c == U'\\' ? U'/' : c);
    }
    return out;
}

std::wstring FromNativePath(std::string_view path) {
    std::wstring out;
    out.reserve(path.size());
    while (!path.empty()) {
        char32_t c = 0;
        std::size_t used = DecodeUtf8(path, c);
        if (used == 0) {
            c = kEscapedByteBase + static_cast<unsigned char>(path.front());
            used = 1;
        }
        out.push_back(static_cast<wchar_t>(c));
        path.remove_prefix(used);
    }
    return out;
}

} // namespace platform::fs
