#include "NightChart.h"

#include "platform/record/LocalTime.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace night {
namespace {

using L = ChartLayout;

constexpr const char* kFont = "DejaVu Sans";

struct Frame {
    double left, right, top, bottom; // the plot
    double laneTop;
    std::int64_t from, to;
    double top_level; // the level at the plot's top

    double X(std::int64_t ms) const {
        return left + static_cast<double>(ms - from) * (right - left) / static_cast<double>(to - from);
    }
    double Y(double level) const { return bottom - level * (bottom - top) / top_level; }
};

void Colour(cairo_t* cr, Rgb c) {
    cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

void Text(cairo_t* cr, double x, double y, const std::string& text, double size, bool bold = false) {
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

double TextWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

// A tick step of whole minutes that gives at most about a dozen ticks.
std::int64_t TickStepMs(std::int64_t spanMs) {
    const std::int64_t minutes[] = {1, 2, 5, 10, 15, 30, 60, 120, 180, 360};
    for (const std::int64_t m : minutes) {
        if (spanMs / (m * 60000) <= 12) {
            return m * 60000;
        }
    }
    return 720 * 60000;
}

// The first local time at or after `ms` that is a whole multiple of `step` since local midnight.
std::int64_t FirstTick(std::int64_t ms, std::int64_t step) {
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    const std::int64_t midnight =
        platform::record::LocalMs(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, 0);
    return midnight + (ms - midnight + step - 1) / step * step;
}

void DrawAxes(cairo_t* cr, const Frame& f) {
    cairo_set_line_width(cr, 1);
    const std::int64_t step = TickStepMs(f.to - f.from);
    for (std::int64_t t = FirstTick(f.from, step); t <= f.to; t += step) {
        const double x = std::floor(f.X(t)) + 0.5;
        cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
        cairo_move_to(cr, x, f.top);
        cairo_line_to(cr, x, f.bottom);
        cairo_stroke(cr);
        const std::string label = platform::record::LocalClock(t).substr(0, 5);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        cairo_set_font_size(cr, 11);
        Text(cr, x - TextWidth(cr, label) / 2, f.laneTop + L::kLaneHeight + 16, label, 11);
    }
    const int levelStep = f.top_level <= 10 ? 1 : f.top_level <= 40 ? 5 : 20;
    for (int level = 0; level <= f.top_level; level += levelStep) {
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        const std::string label = std::to_string(level);
        cairo_set_font_size(cr, 11);
        Text(cr, f.left - 6 - TextWidth(cr, label), f.Y(level) + 4, label, 11);
    }
    cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
    cairo_rectangle(cr, f.left + 0.5, f.top + 0.5, f.right - f.left - 1, f.bottom - f.top - 1);
    cairo_stroke(cr);
}

void DrawSilences(cairo_t* cr, const Frame& f, const std::vector<Stretch>& stretches, double grey) {
    for (const Stretch& s : stretches) {
        const double x0 = f.X(s.fromMs), x1 = std::max(f.X(s.toMs), x0 + 1);
        cairo_set_source_rgb(cr, grey, grey, grey);
        cairo_rectangle(cr, x0, f.top, x1 - x0, f.bottom - f.top);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
        cairo_set_font_size(cr, 10);
        if (TextWidth(cr, s.label) < x1 - x0 - 2) {
            Text(cr, x0 + 2, f.bottom - 4, s.label, 10);
        }
    }
}

// The levels, folded into pixel columns: the band up to the highest level of each column and the line of
// the means. A column in which capture ran without a buffer ending carries the level before it.
void DrawLevels(cairo_t* cr, const Frame& f, const Night& n) {
    const int columns = static_cast<int>(f.right - f.left);
    std::vector<double> peak(columns, -1), meanSum(columns, 0);
    std::vector<int> meanCount(columns, 0);
    std::vector<bool> listening(columns, false);
    for (const auto& row : n.levels) {
        const int c0 = std::clamp(static_cast<int>(f.X(row.t * 1000) - f.left), 0, columns - 1);
        const int c1 =
            std::clamp(static_cast<int>(std::ceil(f.X((row.t + 1) * 1000) - f.left)), c0 + 1, columns);
        for (int c = c0; c < c1; ++c) {
            listening[c] = listening[c] || row.captured;
            if (row.peak) {
                peak[c] = std::max(peak[c], static_cast<double>(*row.peak));
                meanSum[c] += *row.mean;
                meanCount[c] += 1;
            }
        }
    }
    double carriedPeak = -1, carriedMean = -1;
    std::vector<double> mean(columns, -1);
    for (int c = 0; c < columns; ++c) {
        if (meanCount[c] > 0) {
            carriedPeak = peak[c];
            carriedMean = meanSum[c] / meanCount[c];
        } else if (!listening[c]) {
            carriedPeak = carriedMean = -1;
        }
        peak[c] = carriedPeak;
        mean[c] = carriedMean;
    }
    cairo_set_source_rgb(cr, 0.74, 0.84, 0.97);
    for (int c = 0; c < columns; ++c) {
        if (peak[c] >= 0) {
            const double y = f.Y(std::min(peak[c], f.top_level));
            cairo_rectangle(cr, f.left + c, y, 1, f.bottom - y);
        }
    }
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.3, 0.75);
    cairo_set_line_width(cr, 1.5);
    bool drawing = false;
    for (int c = 0; c < columns; ++c) {
        if (mean[c] < 0) {
            drawing = false;
            continue;
        }
        const double x = f.left + c + 0.5, y = f.Y(std::min(mean[c], f.top_level));
        if (drawing) {
            cairo_line_to(cr, x, y);
        } else {
            cairo_move_to(cr, x, y);
            drawing = true;
        }
    }
    cairo_stroke(cr);
}

void DrawAlarmStep(cairo_t* cr, const Frame& f, const Night& n) {
    if (!n.armedFromMs || n.step <= 0) {
        return;
    }
    const double dash[] = {6, 4};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, 1.5);
    cairo_set_source_rgb(cr, 0.85, 0.2, 0.2);
    const double y = f.Y(n.step);
    cairo_move_to(cr, f.X(*n.armedFromMs), y);
    cairo_line_to(cr, f.X(*n.armedToMs), y);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_set_font_size(cr, 10);
    Text(cr, f.X(*n.armedFromMs) + 3, y - 3, "step " + std::to_string(n.step), 10);
}

void DrawAlarms(cairo_t* cr, const Frame& f, const Night& n) {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    Colour(cr, kAlarmColour);
    for (const Alarm& a : n.alarms) {
        const double x = std::floor(f.X(a.atMs)) + 0.5;
        cairo_move_to(cr, x - 5, f.top);
        cairo_line_to(cr, x + 5, f.top);
        cairo_line_to(cr, x, f.top + L::kMarkerHeight);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    cairo_set_source_rgba(cr, kAlarmColour.r / 255.0, kAlarmColour.g / 255.0, kAlarmColour.b / 255.0, 0.15);
    cairo_set_line_width(cr, 1);
    for (const Alarm& a : n.alarms) {
        const double x = std::floor(f.X(a.atMs)) + 0.5;
        cairo_move_to(cr, x, f.top + L::kMarkerHeight);
        cairo_line_to(cr, x, f.bottom);
        cairo_stroke(cr);
    }
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
}

void DrawCalls(cairo_t* cr, const Frame& f, const Night& n) {
    cairo_set_source_rgb(cr, 0.96, 0.96, 0.96);
    cairo_rectangle(cr, f.left, f.laneTop, f.right - f.left, L::kLaneHeight);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_set_font_size(cr, 10);
    Text(cr, f.left - 6 - TextWidth(cr, "calls"), f.laneTop + 13, "calls", 10);
    for (const Call& c : n.calls) {
        const double x0 = std::floor(f.X(c.fromMs));
        const double x1 = std::max(std::ceil(f.X(c.toMs)), x0 + 3);
        Colour(cr, CallColour(c.how));
        cairo_rectangle(cr, x0, f.laneTop + 2, x1 - x0, L::kLaneHeight - 4);
        cairo_fill(cr);
    }
}

void DrawLegend(cairo_t* cr, double x, double y) {
    const std::pair<const char*, const char*> entries[] = {{"far-end", "far end hung up"},
                                                           {"hang-up", "Hang Up"},
                                                           {"timeout", "no answer"},
                                                           {"failure", "failed"}};
    cairo_set_font_size(cr, 10);
    for (const auto& [how, label] : entries) {
        Colour(cr, CallColour(how));
        cairo_rectangle(cr, x, y - 8, 10, 8);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        Text(cr, x + 13, y, label, 10);
        x += 13 + TextWidth(cr, label) + 12;
    }
}

} // namespace

Rgb CallColour(const std::string& how) {
    if (how == "far-end") {
        return {46, 160, 67};
    }
    if (how == "hang-up") {
        return {20, 140, 150};
    }
    if (how == "timeout") {
        return {240, 150, 20};
    }
    if (how == "failure") {
        return {130, 20, 20};
    }
    return {150, 150, 150};
}

bool DrawChart(const Night& n, const std::vector<std::string>& lines, int width, const std::string& png,
               std::string* error) {
    width = std::clamp(width, L::kMinWidth, L::kMaxWidth);
    const int chartBottom = L::kTop + L::kPlotHeight + L::kLaneGap + L::kLaneHeight + L::kAxisHeight;
    const int height = chartBottom + 8 + static_cast<int>(lines.size()) * L::kLineHeight + 8;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    int highest = std::max(5, n.step);
    for (const auto& row : n.levels) {
        highest = std::max(highest, row.peak.value_or(0));
    }
    Frame f{L::kLeft,
            static_cast<double>(width - L::kRight),
            L::kTop,
            L::kTop + L::kPlotHeight,
            L::kTop + L::kPlotHeight + L::kLaneGap,
            n.fromMs,
            std::max(n.toMs, n.fromMs + 1000),
            static_cast<double>(std::min(highest + 1, 128))};

    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    Text(cr, L::kLeft, 24, "Lullwatch: the night of " + n.date, 15, true);
    DrawLegend(cr, std::max<double>(L::kLeft + 330, width - L::kRight - 400), 24);
    DrawSilences(cr, f, n.inCall, 0.93);
    DrawSilences(cr, f, n.deaf, 0.8);
    DrawAxes(cr, f);
    DrawLevels(cr, f, n);
    DrawAlarmStep(cr, f, n);
    DrawCalls(cr, f, n);
    DrawAlarms(cr, f, n);

    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    double y = chartBottom + 8 + 13;
    for (const std::string& line : lines) {
        Text(cr, L::kLeft, y, line, 12);
        y += L::kLineHeight;
    }
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(surface, png.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + png + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

} // namespace night
