// Drawing from several threads at once while another copies the surface, as window threads and the
// screen thread do. Run under ThreadSanitizer this checks the locking; the pixel checks at the end check
// that no operation was torn.
#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using gdi_test::Picture;

TEST(Threads, WindowThreadsDrawWhileTheScreenThreadCopies) {
    auto surface = std::make_shared<platform::gdi::Surface>(240, 320, 0);
    constexpr int kRounds = 15;
    std::atomic<int> finished{0};
    auto window = [&](int index) {
        // Each thread owns one band of the surface and its own DC, font and picture.
        const RECT band{0, index * 100, 240, index * 100 + 100};
        const HDC dc = platform::gdi::CreateSurfaceDC(surface, POINT{band.left, band.top}, band);
        Picture picture(24, 32);
        LOGFONT log{};
        log.lfHeight = -13 - index; // a size no other test uses, so the glyph cache fills here
        const HFONT font = CreateFontIndirect(&log);
        SelectObject(dc, font);
        const HBRUSH brush = CreateSolidBrush(RGB(0, 0, static_cast<BYTE>(100 + index)));
        for (int i = 0; i < kRounds; ++i) {
            RECT all{0, 0, 240, 100};
            FillRect(dc, &all, brush);
            StretchBlt(dc, 0, 0, 48, 64, picture.hdc, 0, 0, 24, 32, SRCCOPY);
            RECT text{60, 0, 240, 100};
            DrawText(dc, L"Stop - 28 sec", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        }
        DeleteDC(dc);
        DeleteObject(font);
        DeleteObject(brush);
        finished.fetch_add(1, std::memory_order_release);
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back(window, i);
    }
    int copies = 0;
    while (finished.load(std::memory_order_acquire) < 3 || copies == 0) {
        const auto image = surface->snapshot();
        ASSERT_EQ(image.pixels.size(), 240u * 320u);
        ++copies;
    }
    for (auto& t : threads) {
        t.join();
    }
    const auto image = surface->snapshot();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(image.pixels[static_cast<std::size_t>(i * 100 + 99) * 240 + 239], 100u + i) << i;
        EXPECT_EQ(image.pixels[static_cast<std::size_t>(i * 100 + 63) * 240 + 47],
                  gdi_test::PicturePixel(23, 31))
            << i;
    }
    EXPECT_EQ(image.pixels[static_cast<std::size_t>(319) * 240], 0u); // below the last band
}

TEST(Threads, ObjectsAreCreatedAndDeletedConcurrently) {
    auto churn = [] {
        for (int i = 0; i < 500; ++i) {
            const HBRUSH brush = CreateSolidBrush(RGB(static_cast<BYTE>(i), 0, 0));
            const HDC dc = CreateCompatibleDC(nullptr);
            SelectObject(dc, brush);
            DeleteObject(brush);
            DeleteDC(dc);
        }
    };
    std::thread a(churn);
    std::thread b(churn);
    a.join();
    b.join();
    SUCCEED();
}

} // namespace
