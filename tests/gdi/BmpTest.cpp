// BMP file images decoded into bitmaps: both row orders, row padding, and everything that is refused.
#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct BmpShape {
    int width = 3;
    int height = 2;
    bool topDown = false;
    std::uint32_t infoSize = 40;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
};

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    Put16(out, at, v);
    Put16(out, at + 2, v >> 16);
}

// The test picture: pixel (x, y) has red 10*x+1, green 20*y+2, blue 7.
COLORREF Expected(int x, int y) {
    return RGB(static_cast<BYTE>(10 * x + 1), static_cast<BYTE>(20 * y + 2), 7);
}

// A BMP file of the test picture; padding bytes hold 0xEE so that reading them would show.
std::vector<std::uint8_t> MakeBmp(const BmpShape& s) {
    const std::size_t stride = (static_cast<std::size_t>(s.width) * 3 + 3) / 4 * 4;
    const std::size_t offset = 14 + s.infoSize;
    std::vector<std::uint8_t> out(offset + stride * s.height, 0xEE);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<std::uint32_t>(out.size()));
    Put32(out, 6, 0);
    Put32(out, 10, static_cast<std::uint32_t>(offset));
    std::fill(out.begin() + 14, out.begin() + static_cast<std::ptrdiff_t>(offset), 0);
    Put32(out, 14, s.infoSize);
    Put32(out, 18, static_cast<std::uint32_t>(s.width));
    Put32(out, 22, static_cast<std::uint32_t>(s.topDown ? -s.height : s.height));
    Put16(out, 26, s.planes);
    Put16(out, 28, s.bitCount);
    Put32(out, 30, s.compression);
    for (int y = 0; y < s.height; ++y) {
        const int fileRow = s.topDown ? y : s.height - 1 - y;
        for (int x = 0; x < s.width; ++x) {
            const COLORREF c = Expected(x, y);
            const std::size_t at = offset + fileRow * stride + x * 3;
            out[at] = GetBValue(c);
            out[at + 1] = GetGValue(c);
            out[at + 2] = GetRValue(c);
        }
    }
    return out;
}

void ExpectPicture(HBITMAP bitmap, int width, int height) {
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObject(bitmap, sizeof(info), &info), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(info.bmWidth, width);
    EXPECT_EQ(info.bmHeight, height);
    EXPECT_EQ(info.bmBitsPixel, 24);
    const HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(GetPixel(memory, x, y), Expected(x, y)) << x << "," << y;
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

TEST(Bmp, DecodesBothRowOrdersAndSkipsPadding) {
    for (const bool topDown : {false, true}) {
        for (const int width : {1, 2, 3, 4, 5}) {
            BmpShape shape;
            shape.width = width;
            shape.height = 3;
            shape.topDown = topDown;
            const auto file = MakeBmp(shape);
            const HBITMAP bitmap = platform::gdi::CreateBitmapFromBmp(file.data(), file.size());
            SCOPED_TRACE(testing::Message() << "width " << width << (topDown ? " top-down" : " bottom-up"));
            ExpectPicture(bitmap, width, 3);
            EXPECT_TRUE(DeleteObject(bitmap));
        }
    }
}

TEST(Bmp, AcceptsALaterInfoHeader) {
    BmpShape shape;
    shape.infoSize = 124; // BITMAPV5HEADER
    const auto file = MakeBmp(shape);
    const HBITMAP bitmap = platform::gdi::CreateBitmapFromBmp(file.data(), file.size());
    ExpectPicture(bitmap, 3, 2);
    DeleteObject(bitmap);
}

TEST(Bmp, RefusesWhatItCannotDecode) {
    struct Case {
        const char* name;
        BmpShape shape;
        void (*spoil)(std::vector<std::uint8_t>&);
    };
    const Case cases[] = {
        {"magic", {}, [](auto& f) { f[0] = 'X'; }},
        {"32 bits", {.bitCount = 32}, nullptr},
        {"8 bits", {.bitCount = 8}, nullptr},
        {"RLE", {.compression = 1}, nullptr},
        {"planes", {.planes = 2}, nullptr},
        {"core header", {.infoSize = 12}, nullptr},
        {"zero width", {.width = 0}, nullptr},
        {"zero height", {.height = 0}, nullptr},
        {"truncated", {}, [](auto& f) { f.pop_back(); }},
        {"offset past end", {}, [](auto& f) { Put32(f, 10, 0x7FFFFFF0); }},
        {"offset inside header", {}, [](auto& f) { Put32(f, 10, 20); }},
        {"huge width", {}, [](auto& f) { Put32(f, 18, 0x7FFFFFFF); }},
        {"most negative height", {}, [](auto& f) { Put32(f, 22, 0x80000000); }},
    };
    for (const auto& c : cases) {
        auto file = MakeBmp(c.shape);
        if (c.spoil != nullptr) {
            c.spoil(file);
        }
        EXPECT_EQ(platform::gdi::CreateBitmapFromBmp(file.data(), file.size()), nullptr) << c.name;
    }
    const auto good = MakeBmp({});
    EXPECT_EQ(platform::gdi::CreateBitmapFromBmp(good.data(), 20), nullptr);
    EXPECT_EQ(platform::gdi::CreateBitmapFromBmp(nullptr, 0), nullptr);
}

} // namespace
