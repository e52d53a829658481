// Rectangle filling, frames and single pixels.
#include "platform/gdi/Color.h"
#include "platform/gdi/DeviceContext.h"

#include <algorithm>

using namespace platform::gdi;

namespace {

// Fills `area` (surface coordinates) within `clip`; call with the surface locked.
void FillLocked(Surface& surface, const RECT& area, const RECT& clip, std::uint32_t pixel) {
    const RECT r = Intersect(area, clip);
    for (LONG y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = &surface.at(0, y);
        std::fill(row + r.left, row + r.right, pixel);
    }
}

// The brush's colour as a pixel, or nothing when it paints nothing or is unknown.
std::optional<std::uint32_t> BrushPixel(HBRUSH brush, bool* known) {
    const auto object = Objects().find(brush);
    const auto* value = object ? std::get_if<BrushObject>(&object->value) : nullptr;
    *known = value != nullptr;
    if (value == nullptr || value->null) {
        return std::nullopt;
    }
    return value->pixel;
}

} // namespace

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    const auto state = StateOf(hdc);
    bool known = false;
    const auto pixel = BrushPixel(brush, &known);
    if (!state || !state->surface || rect == nullptr || !known) {
        return 0;
    }
    if (pixel) {
        std::lock_guard lock(state->surface->mutex());
        FillLocked(*state->surface, Offset(*rect, state->origin), ClipOf(*state), *pixel);
    }
    return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    const auto state = StateOf(hdc);
    bool known = false;
    const auto pixel = BrushPixel(brush, &known);
    if (!state || !state->surface || rect == nullptr || !known) {
        return 0;
    }
    const RECT r = Offset(*rect, state->origin);
    if (pixel && !IsEmpty(r)) {
        std::lock_guard lock(state->surface->mutex());
        const RECT clip = ClipOf(*state);
        FillLocked(*state->surface, RECT{r.left, r.top, r.right, r.top + 1}, clip, *pixel);
        FillLocked(*state->surface, RECT{r.left, r.bottom - 1, r.right, r.bottom}, clip, *pixel);
        FillLocked(*state->surface, RECT{r.left, r.top, r.left + 1, r.bottom}, clip, *pixel);
        FillLocked(*state->surface, RECT{r.right - 1, r.top, r.right, r.bottom}, clip, *pixel);
    }
    return 1;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    const auto state = StateOf(hdc);
    if (!state || !state->surface) {
        return CLR_INVALID;
    }
    const LONG sx = x + state->origin.x;
    const LONG sy = y + state->origin.y;
    std::lock_guard lock(state->surface->mutex());
    if (!Contains(ClipOf(*state), sx, sy)) {
        return CLR_INVALID;
    }
    state->surface->at(sx, sy) = ToPixel(color);
    return color & 0x00FFFFFF;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    const auto state = StateOf(hdc);
    if (!state || !state->surface) {
        return CLR_INVALID;
    }
    const LONG sx = x + state->origin.x;
    const LONG sy = y + state->origin.y;
    std::lock_guard lock(state->surface->mutex());
    if (!Contains(ClipOf(*state), sx, sy)) {
        return CLR_INVALID;
    }
    return ToColorRef(state->surface->at(sx, sy));
}
