// The numbers of a horizontal trackbar (slider), without any drawing: its range and position, tick
// frequency, line and page sizes, what the keys do, where the ticks stand, and how positions map to
// pixels along the channel.
//
// The position always lies inside the range: a position set outside it is kept at the nearer end, and
// a range change that leaves the position outside moves it to the nearer end. A new trackbar has the
// range 0..100, position 0, a tick every position, line size 1 and a page a fifth of the range.
#pragma once

#include "platform/win/WinTypes.h"

#include <optional>
#include <vector>

namespace platform::controls {

class TrackbarModel {
public:
    int min() const { return min_; }
    int max() const { return max_; }
    int pos() const { return pos_; }
    int ticFreq() const { return ticFreq_; }
    int lineSize() const { return lineSize_; }
    int pageSize() const;

    void setRangeMin(int min);
    void setRangeMax(int max);
    void setPos(int pos);
    void setTicFreq(int freq);
    int setLineSize(int size); // returns the previous size
    int setPageSize(int size); // returns the previous size

    // Applies a key (VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END) and returns the
    // scroll code to report (TB_LINEUP ...), or nothing for any other key.
    std::optional<WORD> key(UINT vk);

    // Positions that carry a tick: both ends always, and with automatic ticks every ticFreq() from min().
    std::vector<int> ticks(bool autoTicks) const;

    // The channel runs `width` pixels from `left`: the pixel of a position, and the position nearest a
    // pixel (kept inside the range).
    int xOf(int pos, int left, int width) const;
    int posAt(int x, int left, int width) const;

private:
    int clamp(int pos) const;

    int min_ = 0;
    int max_ = 100;
    int pos_ = 0;
    int ticFreq_ = 1;
    int lineSize_ = 1;
    std::optional<int> pageSize_; // none: a fifth of the range
};

} // namespace platform::controls
