#include "platform/screen/DirtyRegion.h"

#include "platform/win/RectMath.h"

namespace platform::screen {
namespace {

using platform::win::Intersect;
using platform::win::IsEmpty;
using platform::win::SameRect;
using platform::win::Union;

bool Inside(const RECT& inner, const RECT& outer) {
    return SameRect(Intersect(inner, outer), inner);
}

} // namespace

void DirtyRegion::Add(const RECT& rect) {
    if (IsEmpty(rect)) {
        return;
    }
    std::lock_guard lock(mutex_);
    for (const RECT& r : rects_) {
        if (Inside(rect, r)) {
            return;
        }
    }
    std::erase_if(rects_, [&](const RECT& r) { return Inside(r, rect); });
    rects_.push_back(rect);
    if (rects_.size() > kMaxRects) {
        RECT bounds = rects_.front();
        for (const RECT& r : rects_) {
            bounds = Union(bounds, r);
        }
        rects_.assign(1, bounds);
    }
}

std::vector<RECT> DirtyRegion::Take() {
    std::lock_guard lock(mutex_);
    std::vector<RECT> taken;
    taken.swap(rects_);
    return taken;
}

bool DirtyRegion::Empty() const {
    std::lock_guard lock(mutex_);
    return rects_.empty();
}

} // namespace platform::screen
