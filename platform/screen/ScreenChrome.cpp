#include "platform/screen/ScreenChrome.h"

#include "platform/gdi/GdiBackend.h"

#include <algorithm>
#include <cwchar>

namespace platform::screen {
namespace {

constexpr int kPadding = 4;
constexpr COLORREF kTextColor = RGB(255, 255, 255);
constexpr COLORREF kStatusColor = RGB(255, 214, 92);
constexpr COLORREF kDividerColor = RGB(90, 90, 90);

COLORREF ColorOf(std::uint32_t pixel) {
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel));
}

HFONT MakeFont(LONG height, LONG weight) {
    LOGFONT font{};
    font.lfHeight = -height;
    font.lfWeight = weight;
    std::wcsncpy(font.lfFaceName, L"Tahoma", 31);
    return CreateFontIndirect(&font);
}

// The bars' fonts live as long as the process; GDI objects may be used from any thread.
HFONT LabelFont() {
    static const HFONT font = MakeFont(13, FW_BOLD);
    return font;
}

HFONT StatusFont() {
    static const HFONT font = MakeFont(11, FW_NORMAL);
    return font;
}

void Fill(HDC dc, const RECT& rect, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A device context over the bar, with (0,0) at the bar's top left, transparent text.
HDC BarDC(const std::shared_ptr<gdi::Surface>& frame, const RECT& bar) {
    const HDC dc = gdi::CreateSurfaceDC(frame, POINT{bar.left, bar.top}, bar);
    SetBkMode(dc, TRANSPARENT);
    return dc;
}

void Text(HDC dc, const std::wstring& text, RECT rect, UINT align, HFONT font, COLORREF color) {
    if (text.empty() || rect.right <= rect.left) {
        return;
    }
    SelectObject(dc, font);
    SetTextColor(dc, color);
    DrawText(dc, text.c_str(), -1, &rect, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

} // namespace

void DrawCaptionBar(const std::shared_ptr<gdi::Surface>& frame, const RECT& bar,
                    const CaptionBarContent& content) {
    const int width = bar.right - bar.left;
    const int height = bar.bottom - bar.top;
    const HDC dc = BarDC(frame, bar);
    Fill(dc, RECT{0, 0, width, height}, ColorOf(kCaptionBarPixel));
    int statusWidth = 0;
    if (!content.warning.empty()) {
        // A warning may take two thirds of the bar: it matters more than the caption.
        SelectObject(dc, LabelFont());
        SIZE size{};
        GetTextExtentPoint32(dc, content.warning.c_str(), static_cast<int>(content.warning.size()), &size);
        statusWidth = std::min<int>(size.cx + 2 * kPadding, width * 2 / 3);
        Fill(dc, RECT{width - statusWidth, 0, width, height}, ColorOf(kWarningPixel));
        Text(dc, content.warning, RECT{width - statusWidth + kPadding, 0, width - kPadding, height},
             DT_CENTER | DT_NOPREFIX, LabelFont(), kTextColor);
    } else if (!content.status.empty()) {
        SelectObject(dc, StatusFont());
        SIZE size{};
        GetTextExtentPoint32(dc, content.status.c_str(), static_cast<int>(content.status.size()), &size);
        statusWidth = std::min<int>(size.cx, width / 2);
        Text(dc, content.status, RECT{width - kPadding - statusWidth, 0, width - kPadding, height},
             DT_RIGHT | DT_NOPREFIX, StatusFont(), kStatusColor);
    }
    const int captionRight = width - kPadding - (statusWidth > 0 ? statusWidth + 2 * kPadding : 0);
    Text(dc, content.caption, RECT{kPadding, 0, captionRight, height}, DT_LEFT | DT_NOPREFIX, LabelFont(),
         kTextColor);
    DeleteDC(dc);
}

void DrawSoftKeyBar(const std::shared_ptr<gdi::Surface>& frame, const RECT& bar,
                    const SoftKeyBarContent& content) {
    const int width = bar.right - bar.left;
    const int height = bar.bottom - bar.top;
    const HDC dc = BarDC(frame, bar);
    Fill(dc, RECT{0, 0, width, height}, ColorOf(kSoftKeyBarPixel));
    Fill(dc, RECT{0, 0, width, 1}, kDividerColor);
    if (!content.left.empty() && !content.right.empty()) {
        Fill(dc, RECT{width / 2, 5, width / 2 + 1, height - 4}, kDividerColor);
    }
    Text(dc, content.left, RECT{kPadding, 1, width / 2 - kPadding, height}, DT_LEFT, LabelFont(), kTextColor);
    Text(dc, content.right, RECT{width / 2 + kPadding, 1, width - kPadding, height}, DT_RIGHT, LabelFont(),
         kTextColor);
    DeleteDC(dc);
}

} // namespace platform::screen
