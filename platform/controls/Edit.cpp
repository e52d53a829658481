// The EDIT class: a single-line field with a border. Printable characters (WM_CHAR) are typed at the
// caret up to the limit (EM_LIMITTEXT); Backspace, Delete, Home, End, Left and Right come as WM_KEYDOWN.
// Control characters in WM_CHAR are ignored, so a front-end that sends both a key and its character
// does not delete twice. Each change of the text stores it as the window's text and sends EN_CHANGE to
// the parent; so does WM_SETTEXT. The text scrolls sideways to keep the caret in view; the caret shows
// while the field has the focus. A disabled field is grey and takes no input.
//
// Like the device's keyboard, the field types only characters of the device's ANSI code page
// (Windows-1252): a program that stores the text as 8-bit text then stores exactly what the field shows.
#include "platform/controls/ControlClasses.h"
#include "platform/controls/ControlConstants.h"
#include "platform/controls/ControlPaint.h"
#include "platform/controls/ControlProcs.h"
#include "platform/controls/EditText.h"
#include "platform/controls/WindowData.h"
#include "platform/fs/FileApi.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace platform::controls {
namespace {

constexpr int kPadding = 3;

struct EditState {
    EditText model;
    HFONT font = nullptr;
    bool focused = false;
    int scroll = 0; // pixels of text hidden at the left
};

WindowData<EditState>& States() {
    static auto* states = new WindowData<EditState>;
    return *states;
}

RECT TextArea(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    InflateRect(&r, -kPadding, -kPadding);
    return r;
}

int PrefixWidth(HDC hdc, const std::wstring& text, std::size_t count) {
    SIZE size{};
    if (count > 0) {
        GetTextExtentPoint32(hdc, text.c_str(), static_cast<int>(count), &size);
    }
    return size.cx;
}

void TextChanged(HWND hwnd, const EditState& state) {
    DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(state.model.text().c_str()));
    InvalidateRect(hwnd, nullptr, FALSE);
    NotifyParent(hwnd, EN_CHANGE);
}

void CaretMoved(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool InCodePage(wchar_t ch) {
    char byte = 0;
    BOOL defaulted = FALSE;
    return WideCharToMultiByte(CP_ACP, 0, &ch, 1, &byte, 1, nullptr, &defaulted) == 1 && !defaulted;
}

LRESULT OnChar(HWND hwnd, EditState& state, WPARAM ch) {
    if (IsWindowEnabled(hwnd) && ch >= 0x20 && ch != 0x7F && InCodePage(static_cast<wchar_t>(ch)) &&
        state.model.insert(static_cast<wchar_t>(ch))) {
        TextChanged(hwnd, state);
    }
    return 0;
}

LRESULT OnKeyDown(HWND hwnd, EditState& state, WPARAM vk) {
    if (!IsWindowEnabled(hwnd)) {
        return 0;
    }
    EditText& m = state.model;
    switch (vk) {
    case VK_BACK:
        if (m.backspace()) {
            TextChanged(hwnd, state);
        }
        break;
    case VK_DELETE:
        if (m.deleteForward()) {
            TextChanged(hwnd, state);
        }
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
        if (vk == VK_LEFT ? m.left() : vk == VK_RIGHT ? m.right() : vk == VK_HOME ? m.home() : m.end()) {
            CaretMoved(hwnd);
        }
        break;
    default:
        break;
    }
    return 0;
}

// Puts the caret at the character boundary nearest to the clicked point.
void CaretFromPoint(HWND hwnd, EditState& state, POINT pt) {
    const HDC hdc = GetDC(hwnd);
    if (!hdc) {
        return;
    }
    if (state.font) {
        SelectObject(hdc, state.font);
    }
    const std::wstring& text = state.model.text();
    const int x = pt.x - TextArea(hwnd).left + state.scroll;
    std::size_t best = 0;
    int bestDistance = std::abs(x);
    for (std::size_t i = 1; i <= text.size(); ++i) {
        const int distance = std::abs(PrefixWidth(hdc, text, i) - x);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    ReleaseDC(hwnd, hdc);
    state.model.setCaret(best);
}

UINT DialogCode(LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_UP || msg->wParam == VK_DOWN)) {
        return DLGC_WANTCHARS; // Up and Down move between the dialog's fields
    }
    return DLGC_WANTCHARS | DLGC_WANTARROWS;
}

void Paint(HWND hwnd, EditState& state) {
    PaintSession paint(hwnd, state.font);
    const HDC hdc = paint.dc();
    if (!hdc) {
        return;
    }
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const HBRUSH brush = ParentBrush(hwnd, hdc, WM_CTLCOLOREDIT);
    if (enabled) {
        FillRect(hdc, &paint.client(), brush);
    } else {
        FillSolid(hdc, paint.client(), palette::kFaceDisabled);
    }
    const bool showFocus = state.focused && enabled;
    FrameSolid(hdc, paint.client(), showFocus ? palette::kFocus : palette::kBorder, showFocus ? 2 : 1);

    const RECT area = TextArea(hwnd);
    const int width = std::max<int>(1, area.right - area.left - 1);
    const std::wstring& text = state.model.text();
    const int caretX = PrefixWidth(hdc, text, state.model.caret());
    if (PrefixWidth(hdc, text, text.size()) <= width) {
        state.scroll = 0;
    } else if (caretX - state.scroll > width) {
        state.scroll = caretX - width;
    } else if (caretX < state.scroll) {
        state.scroll = caretX;
    }
    std::size_t first = 0;
    while (first < text.size() && PrefixWidth(hdc, text, first) < state.scroll) {
        ++first;
    }
    RECT textRect = area;
    textRect.left += PrefixWidth(hdc, text, first) - state.scroll;
    DrawLabel(hdc, text.substr(first), textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
              enabled ? GetTextColor(hdc) : palette::kTextDisabled);
    if (showFocus) {
        const int x = area.left + caretX - state.scroll;
        FillSolid(hdc, RECT{x, area.top + 1, x + 1, area.bottom - 1}, palette::kText);
    }
}

// EM_LIMITTEXT, EM_GETLIMITTEXT, EM_SETSEL (which only places the caret: the field shows no selection)
// and EM_GETSEL.
LRESULT OnEditMessage(HWND hwnd, EditState& state, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case EM_LIMITTEXT:
        state.model.setLimit(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(state.model.limit());
    case EM_SETSEL:
        if (static_cast<LONG>(wParam) != -1) {
            state.model.setCaret(lParam < 0 ? state.model.text().size() : static_cast<std::size_t>(lParam));
            CaretMoved(hwnd);
        }
        return 0;
    default: { // EM_GETSEL
        const auto caret = static_cast<DWORD>(state.model.caret());
        for (const WPARAM out : {wParam, static_cast<WPARAM>(lParam)}) {
            if (out) {
                *reinterpret_cast<DWORD*>(out) = caret;
            }
        }
        return MAKELONG(static_cast<WORD>(caret), static_cast<WORD>(caret));
    }
    }
}

LRESULT OnText(HWND hwnd, EditState& state, UINT msg, LPARAM lParam) {
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    const auto* text = msg == WM_CREATE ? (cs && !IS_INTRESOURCE(cs->lpszName) ? cs->lpszName : nullptr)
                                        : reinterpret_cast<LPCWSTR>(lParam);
    state.model.setText(text ? text : L"");
    if (msg == WM_CREATE) {
        return 0;
    }
    TextChanged(hwnd, state);
    return TRUE;
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        States().Drop(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    const auto state = States().Of(hwnd);
    if (msg == WM_CREATE || msg == WM_SETTEXT) {
        return OnText(hwnd, *state, msg, lParam);
    }
    if (const auto common = CommonControlMessage(hwnd, msg, wParam, lParam, &state->font)) {
        return *common;
    }
    switch (msg) {
    case WM_CHAR:
        return OnChar(hwnd, *state, wParam);
    case WM_KEYDOWN:
        return OnKeyDown(hwnd, *state, wParam);
    case EM_LIMITTEXT:
    case EM_GETLIMITTEXT:
    case EM_SETSEL:
    case EM_GETSEL:
        return OnEditMessage(hwnd, *state, msg, wParam, lParam);
    case WM_GETDLGCODE:
        return DialogCode(lParam);
    case WM_LBUTTONDOWN:
        if (IsWindowEnabled(hwnd)) {
            SetFocus(hwnd);
            CaretFromPoint(hwnd, *state, PointFromLParam(lParam));
            CaretMoved(hwnd);
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        state->focused = msg == WM_SETFOCUS;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_PAINT:
        Paint(hwnd, *state);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterEditClass() {
    WNDCLASS wc{};
    wc.lpfnWndProc = EditProc;
    wc.lpszClassName = kEditClass;
    RegisterClass(&wc);
}

} // namespace platform::controls
