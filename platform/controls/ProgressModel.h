// The numbers of a progress bar, without any drawing: its range, position and step, and how much of the
// bar the position fills. The position always lies inside the range.
#pragma once

#include "platform/win/WinTypes.h"

namespace platform::controls {

class ProgressModel {
public:
    int low() const { return low_; }
    int high() const { return high_; }
    int pos() const { return pos_; }
    int step() const { return step_; }

    // Sets the range (a high end below the low end counts as equal to it) and clamps the position into
    // it. Returns the previous range as PBM_SETRANGE reports it: low word the low end, high word the high.
    DWORD setRange(int low, int high);
    // Each returns the previous position; the new one is clamped into the range.
    int setPos(int pos);
    int deltaPos(int delta);
    // Advances by the step; past the high end it starts again from the low end (and past the low end,
    // for a negative step, from the high end).
    int stepIt();
    int setStep(int step); // returns the previous step

    // How many of `length` pixels the position fills.
    int filled(int length) const;

private:
    int clamp(int pos) const;

    int low_ = 0;
    int high_ = 100;
    int pos_ = 0;
    int step_ = 10;
};

} // namespace platform::controls
