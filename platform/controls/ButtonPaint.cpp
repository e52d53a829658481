// How buttons look: push buttons as grey faces with a border (strong for the default button, blue and
// thick with the focus), radio buttons as rings with a dot, check boxes as squares that fill when checked,
// group boxes as a frame with the text in its top edge. Disabled buttons draw grey text.
#include "platform/controls/ButtonState.h"
#include "platform/controls/ControlConstants.h"
#include "platform/controls/ControlPaint.h"

#include <algorithm>
#include <string>

namespace platform::controls {
namespace {

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLength(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowText(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

COLORREF TextColor(HWND hwnd, HDC hdc) {
    return IsWindowEnabled(hwnd) ? GetTextColor(hdc) : palette::kTextDisabled;
}

void PaintPush(HWND hwnd, const ButtonState& state, HDC hdc, const RECT& client, DWORD style) {
    const HBRUSH background = ParentBrush(hwnd, hdc, WM_CTLCOLORBTN);
    FillRect(hdc, &client, background);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const COLORREF face = !enabled        ? palette::kFaceDisabled
                          : state.pressed ? palette::kFacePressed
                                          : palette::kFace;
    FillSolid(hdc, client, face);
    if (state.focused) {
        FrameSolid(hdc, client, palette::kFocus, 2);
    } else {
        FrameSolid(hdc, client, IsDefaultPush(style) ? palette::kBorderStrong : palette::kBorder);
    }
    RECT text = client;
    InflateRect(&text, -3, -2);
    if (state.pressed) {
        OffsetRect(&text, 1, 1);
    }
    DrawLabel(hdc, TextOf(hwnd), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS,
              TextColor(hwnd, hdc));
}

// The square that holds a radio ring or a check box, at the left (or right, for BS_LEFTTEXT) and centred
// vertically; at most 14 pixels.
RECT MarkBox(const RECT& client, DWORD style) {
    const int size = std::max(0, std::min<int>({14, client.bottom - client.top, client.right - client.left}));
    const int top = client.top + (client.bottom - client.top - size) / 2;
    const int left = (style & BS_LEFTTEXT) ? client.right - size : client.left;
    return RECT{left, top, left + size, top + size};
}

void PaintMarked(HWND hwnd, const ButtonState& state, HDC hdc, const RECT& client, DWORD style, bool radio) {
    const HBRUSH background = ParentBrush(hwnd, hdc, WM_CTLCOLORBTN);
    FillRect(hdc, &client, background);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const RECT box = MarkBox(client, style);
    const COLORREF ring = state.focused ? palette::kFocus : palette::kBorder;
    const COLORREF inside = enabled ? palette::kWhite : palette::kFaceDisabled;
    const COLORREF mark = enabled ? palette::kFill : palette::kBorder;
    const int ringWidth = state.focused ? 2 : 1;
    RECT inner = box;
    InflateRect(&inner, -ringWidth, -ringWidth);
    RECT dot = box;
    InflateRect(&dot, -4, -4);
    if (radio) {
        FillDisc(hdc, box, ring);
        FillDisc(hdc, inner, inside);
        if (state.check != BST_UNCHECKED) {
            FillDisc(hdc, dot, mark);
        }
    } else {
        FillSolid(hdc, box, ring);
        FillSolid(hdc, inner, inside);
        if (state.check != BST_UNCHECKED) {
            FillSolid(hdc, dot, mark);
        }
    }
    RECT text = client;
    if (style & BS_LEFTTEXT) {
        text.right = box.left - 4;
    } else {
        text.left = box.right + 4;
    }
    DrawLabel(hdc, TextOf(hwnd), text,
              DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | ((style & BS_LEFTTEXT) ? DT_RIGHT : DT_LEFT),
              TextColor(hwnd, hdc));
}

void PaintGroup(HWND hwnd, HDC hdc, const RECT& client) {
    const HBRUSH background = ParentBrush(hwnd, hdc, WM_CTLCOLORSTATIC);
    TEXTMETRIC tm{};
    GetTextMetrics(hdc, &tm);
    RECT frame = client;
    frame.top += tm.tmHeight / 2;
    FrameSolid(hdc, frame, palette::kBorder);
    const std::wstring text = TextOf(hwnd);
    if (text.empty()) {
        return;
    }
    SIZE extent{};
    GetTextExtentPoint32(hdc, text.c_str(), static_cast<int>(text.size()), &extent);
    const RECT label{client.left + 6, client.top,
                     std::min<LONG>(client.right - 6, client.left + 10 + extent.cx),
                     client.top + tm.tmHeight};
    FillRect(hdc, &label, background);
    RECT textRect = label;
    textRect.left += 2;
    DrawLabel(hdc, text, textRect, DT_LEFT | DT_TOP | DT_SINGLELINE, TextColor(hwnd, hdc));
}

} // namespace

void PaintButton(HWND hwnd, const ButtonState& state) {
    PaintSession paint(hwnd, state.font);
    if (!paint.dc()) {
        return;
    }
    const DWORD style = static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
    switch (KindOf(style)) {
    case ButtonKind::Push:
        PaintPush(hwnd, state, paint.dc(), paint.client(), style);
        break;
    case ButtonKind::Radio:
        PaintMarked(hwnd, state, paint.dc(), paint.client(), style, true);
        break;
    case ButtonKind::Check:
        PaintMarked(hwnd, state, paint.dc(), paint.client(), style, false);
        break;
    case ButtonKind::Group:
        PaintGroup(hwnd, paint.dc(), paint.client());
        break;
    }
}

} // namespace platform::controls
