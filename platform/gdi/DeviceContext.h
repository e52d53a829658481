// A device context: where drawing goes (a surface, an origin and a clip rectangle) and the drawing
// state (selected brush, font and bitmap, text and background colours, background mode).
//
// Two kinds exist. A surface DC draws into a window's surface with its logical (0,0) at a given point
// and clipped to a given rectangle, both in surface coordinates. A memory DC draws into the bitmap
// selected into it, with its origin at the bitmap's corner and clipped to the bitmap; it starts with a
// 1x1 default bitmap. Drawing calls take a State copy and then work on the surface under its own lock,
// so the context's small lock is never held while pixels are touched.
#pragma once

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/HandleTable.h"
#include "platform/gdi/Rects.h"

#include <memory>
#include <mutex>
#include <optional>

namespace platform::gdi {

class DeviceContext {
public:
    struct State {
        std::shared_ptr<Surface> surface; // nullptr: nothing to draw into
        POINT origin{0, 0};               // logical (0,0) in surface coordinates
        RECT clip{0, 0, 0, 0};            // surface coordinates; the surface's bounds clip as well
        std::shared_ptr<const GdiObject> brush;
        std::shared_ptr<const GdiObject> font;
        COLORREF textColor = RGB(0, 0, 0);
        COLORREF bkColor = RGB(255, 255, 255);
        int bkMode = OPAQUE;
    };

    static std::shared_ptr<DeviceContext> ForSurface(std::shared_ptr<Surface> surface, POINT origin,
                                                     RECT clip);
    static std::shared_ptr<DeviceContext> ForMemory();

    bool isMemory() const { return memory_; }
    State state() const;

    // Selects the object behind `handle` and returns the handle it replaces, or nullptr when the object
    // does not fit (a bitmap into a surface DC).
    HGDIOBJ select(HGDIOBJ handle, const std::shared_ptr<const GdiObject>& object);

    COLORREF setTextColor(COLORREF color);
    COLORREF setBkColor(COLORREF color);
    int setBkMode(int mode);

private:
    explicit DeviceContext(bool memory);

    const bool memory_;
    mutable std::mutex mutex_;
    State state_;
    HGDIOBJ brushHandle_ = nullptr;
    HGDIOBJ fontHandle_ = nullptr;
    HGDIOBJ bitmapHandle_ = nullptr;
};

using DcTable = HandleTable<HDC, DeviceContext>;

// The process-wide table of device contexts.
DcTable& DeviceContexts();

// The state of a device context, or nothing for an unknown handle.
std::optional<DeviceContext::State> StateOf(HDC hdc);

// Where a drawing call of `state` may touch pixels, in surface coordinates: its clip within the surface's
// current bounds. Call with the surface's lock held.
inline RECT ClipOf(const DeviceContext::State& state) {
    return Intersect(state.clip, RECT{0, 0, state.surface->width(), state.surface->height()});
}

} // namespace platform::gdi
