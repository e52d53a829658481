// Text rasterisation with FreeType: the two DejaVu Sans faces (regular and bold), one FontSize per
// (face, pixel size) in use, and per size a cache of anti-aliased glyphs that is filled on first use and
// kept for the life of the process.
//
// FreeType faces are not thread-safe, so one engine-wide mutex guards every FreeType call and every
// cache. Glyphs and sizes never move once made, so a reference handed out stays valid without the lock.
// Advances are whole pixels (hinted), which keeps text widths exact and the same everywhere.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform::gdi {

struct Glyph {
    int width = 0; // coverage bitmap size in pixels
    int rows = 0;
    int left = 0; // from the pen position to the bitmap's left edge
    int top = 0;  // from the baseline up to the bitmap's top edge
    int advance = 0;
    std::vector<std::uint8_t> coverage; // rows * width, 0..255
};

struct FontMetrics {
    int emPixels = 0;
    int ascent = 0;
    int descent = 0;
    int height = 0; // ascent + descent: one line
    int averageWidth = 0;
    int maxWidth = 0;
};

class FontEngine;

// One face at one pixel size.
class FontSize {
public:
    FontSize(FontEngine& engine, int face, int emPixels);
    const FontMetrics& metrics() const { return metrics_; }
    // The glyph for a character; control characters have no ink and no advance.
    const Glyph& glyph(wchar_t ch);
    int advance(wchar_t ch) { return glyph(ch).advance; }

private:
    friend class FontEngine;
    FontEngine& engine_;
    const int face_;
    const int emPixels_;
    FontMetrics metrics_;
    std::unordered_map<wchar_t, Glyph> glyphs_; // guarded by the engine's mutex
};

class FontEngine {
public:
    // The process-wide engine; the first call loads the faces and throws std::runtime_error if a font
    // file is missing or unreadable (a later call tries again).
    static FontEngine& Instance();

    // The size for a LOGFONT height (negative: em height in pixels; positive: line height; 0: 12 px),
    // regular or bold.
    FontSize& size(bool bold, LONG logicalHeight);

    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;

private:
    friend class FontSize;
    FontEngine();
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::mutex mutex_;
    std::map<std::pair<int, int>, std::unique_ptr<FontSize>> sizes_;
};

} // namespace platform::gdi
