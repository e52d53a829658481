#include "platform/controls/ProgressModel.h"

#include <algorithm>

namespace platform::controls {

int ProgressModel::clamp(int pos) const {
    return std::clamp(pos, low_, high_);
}

DWORD ProgressModel::setRange(int low, int high) {
    const DWORD previous = MAKELONG(static_cast<WORD>(low_), static_cast<WORD>(high_));
    low_ = low;
    high_ = std::max(low, high);
    pos_ = clamp(pos_);
    return previous;
}

int ProgressModel::setPos(int pos) {
    const int previous = pos_;
    pos_ = clamp(pos);
    return previous;
}

int ProgressModel::deltaPos(int delta) {
    return setPos(pos_ + delta);
}

int ProgressModel::stepIt() {
    const int previous = pos_;
    int next = pos_ + step_;
    if (next > high_) {
        next = low_ + (next - high_);
    } else if (next < low_) {
        next = high_ - (low_ - next);
    }
    pos_ = clamp(next);
    return previous;
}

int ProgressModel::setStep(int step) {
    const int previous = step_;
    step_ = step;
    return previous;
}

int ProgressModel::filled(int length) const {
    if (high_ <= low_ || length <= 0) {
        return 0;
    }
    return static_cast<int>(static_cast<long long>(pos_ - low_) * length / (high_ - low_));
}

} // namespace platform::controls
