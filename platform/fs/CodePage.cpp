// MultiByteToWideChar and WideCharToMultiByte for the ANSI code page, Windows-1252.
#include "platform/fs/FileApi.h"

#include <climits>
#include <cstring>
#include <cwchar>

namespace {

// The characters of the bytes 0x80..0x9F. Every other byte stands for the character of the same value.
// The five bytes that Windows-1252 leaves undefined keep the control character of their own value.
constexpr wchar_t kBytes80To9F[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

wchar_t ByteToChar(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kBytes80To9F[byte - 0x80] : static_cast<wchar_t>(byte);
}

bool CharToByte(wchar_t c, char& byte) {
    if ((c >= 0 && c < 0x80) || (c >= 0xA0 && c <= 0xFF)) {
        byte = static_cast<char>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kBytes80To9F[i] == c) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

// The number of source units a call converts, or -1 when the arguments are not valid.
template <typename Char, typename Length>
long long SourceCount(UINT codePage, const Char* src, int srcLen, const void* dst, int dstLen,
                      Length length) {
    if (codePage != CP_ACP || src == nullptr || srcLen == 0 || srcLen < -1 || dstLen < 0 ||
        (dstLen > 0 && dst == nullptr)) {
        return -1;
    }
    const long long count = srcLen == -1 ? static_cast<long long>(length(src)) + 1 : srcLen;
    return count > INT_MAX ? -1 : count;
}

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, const char* src, int srcLen, LPWSTR dst, int dstLen) {
    const long long count =
        SourceCount(codePage, src, srcLen, dst, dstLen, [](const char* s) { return std::strlen(s); });
    if (count < 0 || (dstLen > 0 && count > dstLen)) {
        return 0;
    }
    if (dstLen > 0) {
        for (long long i = 0; i < count; ++i) {
            dst[i] = ByteToChar(static_cast<unsigned char>(src[i]));
        }
    }
    return static_cast<int>(count);
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR src, int srcLen, char* dst, int dstLen,
                        const char* defaultChar, BOOL* usedDefault) {
    const long long count =
        SourceCount(codePage, src, srcLen, dst, dstLen, [](LPCWSTR s) { return std::wcslen(s); });
    if (count < 0 || (dstLen > 0 && count > dstLen)) {
        return 0;
    }
    BOOL defaulted = FALSE;
    for (long long i = 0; i < count; ++i) {
        char byte = 0;
        if (!CharToByte(src[i], byte)) {
            byte = defaultChar != nullptr ? *defaultChar : '?';
            defaulted = TRUE;
        }
        if (dstLen > 0) {
            dst[i] = byte;
        }
    }
    if (usedDefault != nullptr) {
        *usedDefault = defaulted;
    }
    return static_cast<int>(count);
}
