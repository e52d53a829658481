// Text: DrawText, GetTextExtentPoint32 and GetTextMetrics, rendered through the FontEngine's
// anti-aliased glyphs and blended onto the surface in the text colour.
#include "platform/gdi/Color.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/TextLayout.h"

#include <algorithm>
#include <cwchar>

using namespace platform::gdi;

namespace {

FontSize& SizeOf(const DeviceContext::State& state) {
    const auto* font = state.font ? std::get_if<FontObject>(&state.font->value) : nullptr;
    const LOGFONT log = font ? font->log : DefaultGuiFont();
    return FontEngine::Instance().size(font != nullptr && font->bold, log.lfHeight);
}

std::wstring_view TextOf(LPCWSTR text, int count) {
    return std::wstring_view(text, count < 0 ? std::wcslen(text) : static_cast<std::size_t>(count));
}

// Draws one line with its pen starting at `x` and its baseline at `baseline` (surface coordinates);
// call with the surface locked.
void DrawLine(Surface& surface, const RECT& clip, int x, int baseline, const std::wstring& text,
              FontSize& size, std::uint32_t color) {
    for (const wchar_t ch : text) {
        const Glyph& glyph = size.glyph(ch);
        const int left = x + glyph.left;
        const int top = baseline - glyph.top;
        const int x0 = std::max<int>(left, clip.left);
        const int x1 = std::min<int>(left + glyph.width, clip.right);
        const int y0 = std::max<int>(top, clip.top);
        const int y1 = std::min<int>(top + glyph.rows, clip.bottom);
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* coverage =
                glyph.coverage.data() + static_cast<std::size_t>(y - top) * glyph.width;
            std::uint32_t* row = &surface.at(0, y);
            for (int px = x0; px < x1; ++px) {
                const unsigned alpha = coverage[px - left];
                if (alpha != 0) {
                    row[px] = Blend(row[px], color, alpha);
                }
            }
        }
        x += glyph.advance;
    }
}

int LineLeft(const RECT& rect, int width, UINT format) {
    if (format & DT_CENTER) {
        return rect.left + (rect.right - rect.left - width) / 2;
    }
    if (format & DT_RIGHT) {
        return rect.right - width;
    }
    return rect.left;
}

} // namespace

int DrawText(HDC hdc, LPCWSTR text, int count, RECT* rect, UINT format) {
    const auto state = StateOf(hdc);
    if (!state || text == nullptr || rect == nullptr) {
        return 0;
    }
    FontSize& size = SizeOf(*state);
    const AdvanceFn advance = [&size](wchar_t ch) { return size.advance(ch); };
    const std::wstring shown =
        (format & DT_NOPREFIX) ? std::wstring(TextOf(text, count)) : StripPrefixes(TextOf(text, count));
    LayoutRules rules;
    rules.width = rect->right - rect->left;
    rules.singleLine = (format & DT_SINGLELINE) != 0;
    rules.wordBreak = (format & DT_WORDBREAK) != 0;
    rules.endEllipsis = (format & DT_END_ELLIPSIS) != 0 && (format & DT_CALCRECT) == 0;
    const auto lines = LayoutText(shown, rules, advance);
    const int lineHeight = size.metrics().height;
    const int total = lineHeight * static_cast<int>(lines.size());

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const auto& line : lines) {
            widest = std::max(widest, line.width);
        }
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    int top = rect->top;
    const bool placed = rules.singleLine && (format & (DT_VCENTER | DT_BOTTOM)) != 0;
    if (placed) {
        top = (format & DT_VCENTER) ? rect->top + (rect->bottom - rect->top - lineHeight) / 2
                                    : rect->bottom - lineHeight;
    }
    if (state->surface) {
        Surface& surface = *state->surface;
        const POINT o = state->origin;
        std::lock_guard lock(surface.mutex());
        const RECT clip = (format & DT_NOCLIP) ? ClipOf(*state) : Intersect(ClipOf(*state), Offset(*rect, o));
        const std::uint32_t color = ToPixel(state->textColor);
        const std::uint32_t background = ToPixel(state->bkColor);
        int y = top + o.y;
        for (const auto& line : lines) {
            const int x = LineLeft(*rect, line.width, format) + o.x;
            if (state->bkMode == OPAQUE) {
                const RECT box = Intersect(RECT{x, y, x + line.width, y + lineHeight}, clip);
                for (LONG by = box.top; by < box.bottom; ++by) {
                    std::fill(&surface.at(box.left, by), &surface.at(box.left, by) + (box.right - box.left),
                              background);
                }
            }
            DrawLine(surface, clip, x, y + size.metrics().ascent, line.text, size, color);
            y += lineHeight;
        }
    }
    return placed ? top + lineHeight - rect->top : total;
}

BOOL GetTextExtentPoint32(HDC hdc, LPCWSTR text, int count, SIZE* extent) {
    const auto state = StateOf(hdc);
    if (!state || extent == nullptr || count < 0 || (text == nullptr && count > 0)) {
        return FALSE;
    }
    FontSize& size = SizeOf(*state);
    int width = 0;
    for (int i = 0; i < count; ++i) {
        width += size.advance(text[i]);
    }
    extent->cx = width;
    extent->cy = size.metrics().height;
    return TRUE;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* metrics) {
    const auto state = StateOf(hdc);
    if (!state || metrics == nullptr) {
        return FALSE;
    }
    const auto* font = state->font ? std::get_if<FontObject>(&state->font->value) : nullptr;
    const FontMetrics& m = SizeOf(*state).metrics();
    *metrics = TEXTMETRIC{};
    metrics->tmHeight = m.height;
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmInternalLeading = m.height - m.emPixels;
    metrics->tmExternalLeading = 0;
    metrics->tmAveCharWidth = m.averageWidth;
    metrics->tmMaxCharWidth = m.maxWidth;
    metrics->tmWeight = (font != nullptr && font->bold) ? FW_BOLD : FW_NORMAL;
    return TRUE;
}
