#include "platform/screen/Compositor.h"

#include "platform/screen/StatusText.h"
#include "platform/shell/Power.h"
#include "platform/status/Indicators.h"
#include "platform/win/RectMath.h"

#include <algorithm>
#include <cstring>

namespace platform::screen {
namespace {

using platform::win::Intersect;
using platform::win::IsEmpty;
using platform::win::SameRect;
using platform::win::Width;

RECT ScreenRect(const desktop::ScreenLayout& layout) {
    return RECT{0, 0, layout.width, layout.height};
}

RECT CaptionBarRect(const desktop::ScreenLayout& layout) {
    return RECT{0, 0, layout.width, std::min(layout.height, desktop::kCaptionBarHeight)};
}

RECT SoftKeyBarRect(const desktop::ScreenLayout& layout) {
    return RECT{0, std::max(0, layout.height - desktop::kSoftKeyBarHeight), layout.width, layout.height};
}

// True when the view alone paints every pixel of `region` (its surface may lag behind a resize).
bool Covers(const desktop::TopLevelView& view, const RECT& region) {
    if (!view.surface || !SameRect(Intersect(region, view.rect), region)) {
        return false;
    }
    return region.right - view.rect.left <= view.surface->width() &&
           region.bottom - view.rect.top <= view.surface->height();
}

// Fills `region` of the locked frame with one pixel value.
void FillLocked(gdi::Surface& frame, const RECT& region, std::uint32_t pixel) {
    const RECT r = Intersect(region, RECT{0, 0, frame.width(), frame.height()});
    for (LONG y = r.top; y < r.bottom; ++y) {
        std::fill_n(&frame.at(r.left, y), Width(r), pixel);
    }
}

// Copies the part of the view's surface that lies in `region` into the locked frame.
void CopyViewLocked(gdi::Surface& frame, const desktop::TopLevelView& view, const RECT& region) {
    const gdi::Surface& surface = *view.surface;
    std::lock_guard lock(surface.mutex());
    const RECT onSurface = Intersect(RECT{region.left - view.rect.left, region.top - view.rect.top,
                                          region.right - view.rect.left, region.bottom - view.rect.top},
                                     RECT{0, 0, surface.width(), surface.height()});
    const RECT onFrame = Intersect(RECT{onSurface.left + view.rect.left, onSurface.top + view.rect.top,
                                        onSurface.right + view.rect.left, onSurface.bottom + view.rect.top},
                                   RECT{0, 0, frame.width(), frame.height()});
    if (IsEmpty(onFrame)) {
        return;
    }
    const auto bytes = static_cast<std::size_t>(Width(onFrame)) * sizeof(std::uint32_t);
    const std::size_t stride = static_cast<std::size_t>(surface.width());
    for (LONG y = onFrame.top; y < onFrame.bottom; ++y) {
        const std::uint32_t* source = surface.pixels() +
                                      static_cast<std::size_t>(y - view.rect.top) * stride +
                                      (onFrame.left - view.rect.left);
        std::memcpy(&frame.at(onFrame.left, y), source, bytes);
    }
}

// The window whose caption and soft keys the bars show: the topmost enabled one.
const desktop::TopLevelView* Foreground(const std::vector<desktop::TopLevelView>& views) {
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        if (it->enabled) {
            return &*it;
        }
    }
    return nullptr;
}

// The caption the bar shows: the foreground window's, or, for a window without one (a menu's pop-up),
// that of the nearest window below it that has one.
std::wstring CaptionOf(const std::vector<desktop::TopLevelView>& views,
                       const desktop::TopLevelView* foreground) {
    bool below = false;
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        below = below || &*it == foreground;
        if (below && !it->caption.empty()) {
            return it->caption;
        }
    }
    return L"";
}

} // namespace

Compositor::Compositor() {
    const auto layout = desktop::Layout();
    frame_ = std::make_shared<gdi::Surface>(layout.width, layout.height, kDesktopPixel);
}

std::vector<RECT> Compositor::ComposeAll() {
    const auto layout = desktop::Layout();
    return Compose({ScreenRect(layout)});
}

std::vector<RECT> Compositor::Compose(const std::vector<RECT>& dirty) {
    std::lock_guard composeLock(composeMutex_);
    const auto layout = desktop::Layout();
    const RECT screen = ScreenRect(layout);
    std::vector<RECT> regions = dirty;
    if (frame_->width() != layout.width || frame_->height() != layout.height) {
        frame_->resize(layout.width, layout.height, kDesktopPixel);
        regions.assign(1, screen);
        barsValid_ = false;
    }
    std::vector<RECT> changed;
    if (!shell::IsDisplayOn()) {
        if (!dark_) {
            std::lock_guard frameLock(frame_->mutex());
            FillLocked(*frame_, screen, 0);
            dark_ = true;
            changed.push_back(screen);
        }
    } else {
        if (dark_) {
            dark_ = false;
            barsValid_ = false;
            regions.assign(1, screen);
        }
        const auto views = desktop::VisibleTopLevels();
        {
            std::lock_guard frameLock(frame_->mutex());
            for (const RECT& region : regions) {
                const RECT r = Intersect(region, layout.workArea);
                if (!IsEmpty(r)) {
                    ComposeWindows(r, views);
                    changed.push_back(r);
                }
            }
        }
        RedrawBars(layout, views, &changed);
    }
    if (!changed.empty()) {
        Published();
    }
    return changed;
}

void Compositor::ComposeWindows(const RECT& region, const std::vector<desktop::TopLevelView>& views) {
    std::size_t first = 0;
    bool covered = false;
    for (std::size_t i = views.size(); i-- > 0;) {
        if (Covers(views[i], region)) {
            first = i;
            covered = true;
            break;
        }
    }
    if (!covered) {
        FillLocked(*frame_, region, kDesktopPixel);
    }
    for (std::size_t i = first; i < views.size(); ++i) {
        const RECT r = Intersect(region, views[i].rect);
        if (!IsEmpty(r) && views[i].surface) {
            CopyViewLocked(*frame_, views[i], r);
        }
    }
}

void Compositor::RedrawBars(const desktop::ScreenLayout& layout,
                            const std::vector<desktop::TopLevelView>& views, std::vector<RECT>* changed) {
    const desktop::TopLevelView* foreground = Foreground(views);
    CaptionBarContent caption{CaptionOf(views, foreground), StatusText(), status::WarningText()};
    SoftKeyBarContent softKeys;
    if (foreground) {
        const auto keys = desktop::SoftKeysOf(foreground->hwnd);
        softKeys = SoftKeyBarContent{keys.left, keys.right};
    }
    if (!barsValid_ || caption != caption_) {
        const RECT bar = CaptionBarRect(layout);
        DrawCaptionBar(frame_, bar, caption);
        caption_ = std::move(caption);
        changed->push_back(bar);
    }
    if (!barsValid_ || softKeys != softKeys_) {
        const RECT bar = SoftKeyBarRect(layout);
        DrawSoftKeyBar(frame_, bar, softKeys);
        softKeys_ = std::move(softKeys);
        changed->push_back(bar);
    }
    barsValid_ = true;
}

void Compositor::Published() {
    {
        std::lock_guard lock(waitMutex_);
        generation_.fetch_add(1, std::memory_order_acq_rel);
    }
    composed_.notify_all();
}

bool Compositor::WaitForGeneration(std::uint64_t after, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(waitMutex_);
    return composed_.wait_for(lock, timeout, [&] { return Generation() > after; });
}

} // namespace platform::screen
