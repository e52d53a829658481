// Drawing speed of what every erase of the main window costs: the 234 x 320 background picture
// stretched to the portrait client (240 x 328), and a meter-sized fill (11 x 115 dialog units, 22 x 230
// pixels), the area that each meter update repaints.
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/GdiBackend.h"
#include "platform/gdi/Surface.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Screen {
    Screen() : surface(std::make_shared<platform::gdi::Surface>(240, 320)) {
        hdc = platform::gdi::CreateSurfaceDC(surface, POINT{0, 0}, RECT{0, 0, 240, 320});
    }
    ~Screen() { DeleteDC(hdc); }
    std::shared_ptr<platform::gdi::Surface> surface;
    HDC hdc;
};

void StretchBackground(benchmark::State& state) {
    Screen screen;
    const HDC memory = CreateCompatibleDC(screen.hdc);
    const HBITMAP picture = CreateCompatibleBitmap(screen.hdc, 234, 320);
    const HGDIOBJ old = SelectObject(memory, picture);
    for (auto _ : state) {
        benchmark::DoNotOptimize(StretchBlt(screen.hdc, 0, 0, 240, 328, memory, 0, 0, 234, 320, SRCCOPY));
    }
    state.SetItemsProcessed(state.iterations() * 240 * 328);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(picture);
}
BENCHMARK(StretchBackground);

void FillMeter(benchmark::State& state) {
    Screen screen;
    const HBRUSH brush = CreateSolidBrush(RGB(0, 128, 0));
    const RECT meter{10, 40, 32, 270};
    for (auto _ : state) {
        benchmark::DoNotOptimize(FillRect(screen.hdc, &meter, brush));
    }
    state.SetItemsProcessed(state.iterations() * 22 * 230);
    DeleteObject(brush);
}
BENCHMARK(FillMeter);

} // namespace
