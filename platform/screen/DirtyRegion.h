// The parts of the screen that changed since the compositor last looked: a short list of rectangles that
// any thread may add to and the screen thread takes. Small changes (a meter, a caption) stay separate so
// that each is recomposed alone; a rectangle inside another is dropped, and when the list grows long it
// collapses into its bounding rectangle, which bounds the work of one composition.
#pragma once

#include "platform/win/WinTypes.h"

#include <mutex>
#include <vector>

namespace platform::screen {

class DirtyRegion {
public:
    static constexpr std::size_t kMaxRects = 8;

    // Adds a rectangle (screen coordinates); empty rectangles are ignored.
    void Add(const RECT& rect);

    // The rectangles added since the last Take, and clears them.
    std::vector<RECT> Take();

    bool Empty() const;

private:
    mutable std::mutex mutex_;
    std::vector<RECT> rects_;
};

} // namespace platform::screen
