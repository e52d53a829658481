#include "platform/controls/TrackbarModel.h"

#include "platform/controls/ControlConstants.h"

#include <algorithm>
#include <cmath>

namespace platform::controls {

int TrackbarModel::clamp(int pos) const {
    return max_ < min_ ? min_ : std::clamp(pos, min_, max_);
}

int TrackbarModel::pageSize() const {
    return pageSize_ ? *pageSize_ : std::max(1, (max_ - min_) / 5);
}

void TrackbarModel::setRangeMin(int min) {
    min_ = min;
    pos_ = clamp(pos_);
}

void TrackbarModel::setRangeMax(int max) {
    max_ = max;
    pos_ = clamp(pos_);
}

void TrackbarModel::setPos(int pos) {
    pos_ = clamp(pos);
}

void TrackbarModel::setTicFreq(int freq) {
    ticFreq_ = std::max(1, freq);
}

int TrackbarModel::setLineSize(int size) {
    const int previous = lineSize_;
    lineSize_ = size;
    return previous;
}

int TrackbarModel::setPageSize(int size) {
    const int previous = pageSize();
    pageSize_ = size;
    return previous;
}

std::optional<WORD> TrackbarModel::key(UINT vk) {
    switch (vk) {
    case VK_LEFT:
    case VK_UP:
        setPos(pos_ - lineSize_);
        return TB_LINEUP;
    case VK_RIGHT:
    case VK_DOWN:
        setPos(pos_ + lineSize_);
        return TB_LINEDOWN;
    case VK_PRIOR:
        setPos(pos_ - pageSize());
        return TB_PAGEUP;
    case VK_NEXT:
        setPos(pos_ + pageSize());
        return TB_PAGEDOWN;
    case VK_HOME:
        setPos(min_);
        return TB_TOP;
    case VK_END:
        setPos(max_);
        return TB_BOTTOM;
    default:
        return std::nullopt;
    }
}

std::vector<int> TrackbarModel::ticks(bool autoTicks) const {
    std::vector<int> result{min_};
    if (autoTicks) {
        for (long long p = static_cast<long long>(min_) + ticFreq_; p < max_; p += ticFreq_) {
            result.push_back(static_cast<int>(p));
        }
    }
    if (max_ > min_) {
        result.push_back(max_);
    }
    return result;
}

int TrackbarModel::xOf(int pos, int left, int width) const {
    if (max_ <= min_) {
        return left;
    }
    return left +
           static_cast<int>(std::lround(static_cast<double>(clamp(pos) - min_) * width / (max_ - min_)));
}

int TrackbarModel::posAt(int x, int left, int width) const {
    if (max_ <= min_ || width <= 0) {
        return min_;
    }
    const double fraction = static_cast<double>(x - left) / width;
    return clamp(min_ + static_cast<int>(std::lround(fraction * (max_ - min_))));
}

} // namespace platform::controls
