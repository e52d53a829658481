// The controls' look and the drawing helpers they share: a clean phone style, white and grey, with a
// blue focus frame, and text in the dialog's font.
//
// Each control paints its whole rectangle itself on every WM_PAINT: the parent is not repainted when
// only a control changed, so nothing may be left to show through.
#pragma once

#include "platform/gdi/GdiApi.h"
#include "platform/win/WinApi.h"

#include <string>

namespace platform::controls {

namespace palette {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFace = RGB(236, 236, 236);
constexpr COLORREF kFacePressed = RGB(200, 200, 200);
constexpr COLORREF kFaceDisabled = RGB(245, 245, 245);
constexpr COLORREF kBorder = RGB(150, 150, 150);
constexpr COLORREF kBorderStrong = RGB(80, 80, 80);
constexpr COLORREF kFocus = RGB(0, 110, 215);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kTextDisabled = RGB(160, 160, 160);
constexpr COLORREF kFill = RGB(60, 140, 220);
constexpr COLORREF kChannel = RGB(205, 205, 205);
constexpr COLORREF kWarning = RGB(250, 190, 0);
} // namespace palette

void FillSolid(HDC hdc, const RECT& rect, COLORREF color);
// A frame `thickness` pixels wide just inside `rect`.
void FrameSolid(HDC hdc, const RECT& rect, COLORREF color, int thickness = 1);
// A filled circle inscribed in the square `box`.
void FillDisc(HDC hdc, const RECT& box, COLORREF color);
// Text with a transparent background in `color`.
void DrawLabel(HDC hdc, const std::wstring& text, RECT rect, UINT format, COLORREF color);
// A small warning sign: a yellow triangle with an exclamation mark, filling `box`.
void DrawWarningSign(HDC hdc, const RECT& box);

// Asks the parent for the control's background brush with `ctlColorMessage` (WM_CTLCOLORBTN,
// WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT), as the device's controls do; the parent may also set the text
// colour in `hdc`. The white brush when the parent gives none.
HBRUSH ParentBrush(HWND control, HDC hdc, UINT ctlColorMessage);

// Sends NM_CUSTOMDRAW (stage CDDS_PREPAINT) to the control's parent before the control paints, and
// returns the answer: CDRF_DODEFAULT lets the control draw itself, CDRF_SKIPDEFAULT means the parent drew.
LRESULT CustomDrawPrePaint(HWND control, HDC hdc, const RECT& rect);

// One WM_PAINT: BeginPaint with the control's font selected and a transparent text background, and
// EndPaint when it goes.
class PaintSession {
public:
    PaintSession(HWND hwnd, HFONT font);
    ~PaintSession();
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;

    HDC dc() const { return ps_.hdc; }
    const RECT& client() const { return client_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    RECT client_{};
};

} // namespace platform::controls
