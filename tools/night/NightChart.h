// The night as a picture, drawn with cairo: the level over time (the highest level of each second as a
// light band, the mean as a line), the alarm step as a red dashed line while armed, each alarm as a red
// marker at the top of the plot, each call as a bar in the lane below the plot coloured by how it ended,
// and the stretches without listening shaded and labelled ("call" or "deaf"). The time axis shows local
// clock times. The summary's lines follow under the chart. Text is DejaVu Sans, the monitor's font.
//
// The plot spans x from kLeft to width - kRight, the night's start to its end, so a time t lies at
// kLeft + (t - from) * (width - kLeft - kRight) / (to - from).
#pragma once

#include "Night.h"

#include <string>
#include <vector>

namespace night {

struct ChartLayout {
    static constexpr int kLeft = 48;
    static constexpr int kRight = 16;
    static constexpr int kTop = 40; // the plot's top edge
    static constexpr int kPlotHeight = 240;
    static constexpr int kMarkerHeight = 10; // alarm markers hang from the plot's top edge
    static constexpr int kLaneGap = 8;
    static constexpr int kLaneHeight = 18; // the call lane
    static constexpr int kAxisHeight = 24;
    static constexpr int kLineHeight = 18; // a summary line
    static constexpr int kMinWidth = 320;
    static constexpr int kMaxWidth = 10000;
};

// The colours of the marks, 0..255, for readers of the picture.
struct Rgb {
    int r, g, b;
};
constexpr Rgb kAlarmColour{220, 0, 0};
Rgb CallColour(const std::string& how);

// Draws the chart with the summary `lines` below it into a PNG of `width` pixels; false with `error`.
bool DrawChart(const Night& night, const std::vector<std::string>& lines, int width, const std::string& png,
               std::string* error);

} // namespace night
