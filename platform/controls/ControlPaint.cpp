#include "platform/controls/ControlPaint.h"

#include <algorithm>
#include <cmath>

namespace platform::controls {

void FillSolid(HDC hdc, const RECT& rect, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

void FrameSolid(HDC hdc, const RECT& rect, COLORREF color, int thickness) {
    const HBRUSH brush = CreateSolidBrush(color);
    RECT r = rect;
    for (int i = 0; i < thickness && r.right > r.left && r.bottom > r.top; ++i) {
        FrameRect(hdc, &r, brush);
        InflateRect(&r, -1, -1);
    }
    DeleteObject(brush);
}

void FillDisc(HDC hdc, const RECT& box, COLORREF color) {
    const double radius = std::min(box.right - box.left, box.bottom - box.top) / 2.0;
    const double cx = (box.left + box.right) / 2.0;
    const double cy = (box.top + box.bottom) / 2.0;
    const HBRUSH brush = CreateSolidBrush(color);
    for (int y = box.top; y < box.bottom; ++y) {
        const double dy = y + 0.5 - cy;
        if (std::abs(dy) > radius) {
            continue;
        }
        const double half = std::sqrt(radius * radius - dy * dy);
        const RECT row{static_cast<LONG>(std::lround(cx - half)), y,
                       static_cast<LONG>(std::lround(cx + half)), y + 1};
        FillRect(hdc, &row, brush);
    }
    DeleteObject(brush);
}

void DrawLabel(HDC hdc, const std::wstring& text, RECT rect, UINT format, COLORREF color) {
    if (text.empty()) {
        return;
    }
    const COLORREF oldColor = SetTextColor(hdc, color);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    DrawText(hdc, text.c_str(), static_cast<int>(text.size()), &rect, format);
    SetBkMode(hdc, oldMode);
    SetTextColor(hdc, oldColor);
}

void DrawWarningSign(HDC hdc, const RECT& box) {
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    const HBRUSH yellow = CreateSolidBrush(palette::kWarning);
    for (int i = 0; i < height; ++i) {
        const int half = (i + 1) * width / (2 * height);
        const int cx = box.left + width / 2;
        const RECT row{cx - half, box.top + i, cx + half + (width % 2), box.top + i + 1};
        FillRect(hdc, &row, yellow);
    }
    DeleteObject(yellow);
    const int cx = box.left + width / 2;
    const int barWidth = std::max(2, width / 10);
    FillSolid(hdc,
              RECT{cx - barWidth / 2, box.top + height * 35 / 100, cx - barWidth / 2 + barWidth,
                   box.top + height * 70 / 100},
              palette::kText);
    FillSolid(hdc,
              RECT{cx - barWidth / 2, box.top + height * 78 / 100, cx - barWidth / 2 + barWidth,
                   box.top + height * 78 / 100 + barWidth},
              palette::kText);
}

HBRUSH ParentBrush(HWND control, HDC hdc, UINT ctlColorMessage) {
    SetTextColor(hdc, palette::kText);
    const HWND parent = GetParent(control);
    HBRUSH brush = nullptr;
    if (parent) {
        brush = reinterpret_cast<HBRUSH>(SendMessage(parent, ctlColorMessage, reinterpret_cast<WPARAM>(hdc),
                                                     reinterpret_cast<LPARAM>(control)));
    }
    return brush ? brush : GetStockObject(WHITE_BRUSH);
}

LRESULT CustomDrawPrePaint(HWND control, HDC hdc, const RECT& rect) {
    const HWND parent = GetParent(control);
    if (!parent) {
        return CDRF_DODEFAULT;
    }
    NMCUSTOMDRAW nm{};
    nm.hdr.hwndFrom = control;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    nm.hdr.code = NM_CUSTOMDRAW;
    nm.dwDrawStage = CDDS_PREPAINT;
    nm.hdc = hdc;
    nm.rc = rect;
    return SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

PaintSession::PaintSession(HWND hwnd, HFONT font) : hwnd_(hwnd) {
    BeginPaint(hwnd, &ps_);
    GetClientRect(hwnd, &client_);
    if (ps_.hdc) {
        if (font) {
            SelectObject(ps_.hdc, font);
        }
        SetBkMode(ps_.hdc, TRANSPARENT);
    }
}

PaintSession::~PaintSession() {
    EndPaint(hwnd_, &ps_);
}

} // namespace platform::controls
