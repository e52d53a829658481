// lullwatch-night [--data DIR] [--night YYYY-MM-DD] [--png FILE] [--width PX]
// Draws one night of the monitor's record (night.sqlite in the data folder DIR, by default the monitor's
// own) as a PNG with its summary below, or prints the summary without --png.
#include "Night.h"
#include "NightChart.h"
#include "NightSummary.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: lullwatch-night [--data DIR] [--night YYYY-MM-DD] [--png FILE] [--width PX]\n"
    "  --data DIR     the folder of the monitor's settings and night.sqlite (default:\n"
    "                 $XDG_DATA_HOME/Lullwatch or ~/.local/share/Lullwatch)\n"
    "  --night DATE   the night that starts on the evening of DATE (default: the latest\n"
    "                 session)\n"
    "  --png FILE     draw the chart with the summary into FILE instead of printing it\n"
    "  --width PX     the picture's width, 320 to 10000 (default 1200)\n";

std::string DefaultFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return std::string(data) + "/Lullwatch";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/Lullwatch";
}

// The record in `folder`, or in its Lullwatch folder when `folder` is the application-data folder.
std::string DatabaseIn(const std::string& folder) {
    const std::string direct = folder + "/night.sqlite";
    const std::string below = folder + "/Lullwatch/night.sqlite";
    return !std::filesystem::exists(direct) && std::filesystem::exists(below) ? below : direct;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "lullwatch-night: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string folder = DefaultFolder(), date, png;
    int width = 1200;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc || (arg != "--data" && arg != "--night" && arg != "--png" && arg != "--width")) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        const std::string value = argv[++i];
        if (arg == "--data") {
            folder = value;
        } else if (arg == "--night") {
            date = value;
        } else if (arg == "--png") {
            png = value;
        } else {
            char* end = nullptr;
            width = static_cast<int>(std::strtol(value.c_str(), &end, 10));
            if (value.empty() || *end != '\0' || width < night::ChartLayout::kMinWidth ||
                width > night::ChartLayout::kMaxWidth) {
                std::fputs(kUsage, stderr);
                return 2;
            }
        }
    }
    std::string error;
    const auto db = platform::record::NightDatabase::OpenForReading(DatabaseIn(folder), &error);
    if (!db) {
        return Fail(error);
    }
    night::Night n;
    if (!night::LoadNight(*db, date, &n, &error)) {
        return Fail(error);
    }
    const auto lines = night::Summary(n);
    if (png.empty()) {
        for (const auto& line : lines) {
            std::printf("%s\n", line.c_str());
        }
        return 0;
    }
    const bool drawn = night::DrawChart(n, lines, width, png, &error);
    // cairo's text goes through fontconfig; both keep caches for the process, given back here so that
    // leak checkers see a clean end.
    cairo_debug_reset_static_data();
    FcFini();
    return drawn ? 0 : Fail(error);
}
