// The STATIC class: text, left-aligned, centred or right-aligned by SS_LEFT, SS_CENTER, SS_RIGHT, broken
// into lines at spaces. '&' marks a mnemonic unless SS_NOPREFIX. The background is the parent's
// WM_CTLCOLORSTATIC brush; a disabled static draws grey text.
#include "platform/controls/ControlClasses.h"
#include "platform/controls/ControlConstants.h"
#include "platform/controls/ControlPaint.h"
#include "platform/controls/ControlProcs.h"
#include "platform/controls/WindowData.h"

#include <string>

namespace platform::controls {
namespace {

struct StaticState {
    HFONT font = nullptr;
};

WindowData<StaticState>& States() {
    static auto* states = new WindowData<StaticState>;
    return *states;
}

UINT AlignmentOf(DWORD style) {
    switch (style & 0x3) {
    case SS_CENTER:
        return DT_CENTER;
    case SS_RIGHT:
        return DT_RIGHT;
    default:
        return DT_LEFT;
    }
}

void Paint(HWND hwnd, const StaticState& state) {
    PaintSession paint(hwnd, state.font);
    const HDC hdc = paint.dc();
    if (!hdc) {
        return;
    }
    const HBRUSH background = ParentBrush(hwnd, hdc, WM_CTLCOLORSTATIC);
    FillRect(hdc, &paint.client(), background);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLength(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowText(hwnd, text.data(), static_cast<int>(text.size()))));
    const DWORD style = static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
    const UINT format = AlignmentOf(style) | DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    const COLORREF color = IsWindowEnabled(hwnd) ? GetTextColor(hdc) : palette::kTextDisabled;
    DrawLabel(hdc, text, paint.client(), format, color);
}

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        States().Drop(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    const auto state = States().Of(hwnd);
    if (const auto common = CommonControlMessage(hwnd, msg, wParam, lParam, &state->font)) {
        return *common;
    }
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_PAINT:
        Paint(hwnd, *state);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterStaticClass() {
    WNDCLASS wc{};
    wc.lpfnWndProc = StaticProc;
    wc.lpszClassName = kStaticClass;
    RegisterClass(&wc);
}

} // namespace platform::controls
