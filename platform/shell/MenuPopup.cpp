// The pop-up of a soft key: a small top-most window standing on the soft-key bar at the right, listing
// the items with one highlighted. Up and Down move the highlight (round the ends), Enter or the left soft
// key ("Select") chooses, Escape or the right soft key ("Cancel") closes it. It holds the mouse capture:
// a click on an item chooses it, a click anywhere else closes the pop-up. Choosing closes the pop-up and
// posts the item's WM_COMMAND to the menu bar's owner.
#include "platform/controls/ControlPaint.h"
#include "platform/controls/WindowData.h"
#include "platform/shell/MenuBar.h"
#include "platform/win/Desktop.h"

#include <algorithm>
#include <cstdint>

namespace platform::shell {
namespace {

constexpr wchar_t kPopupClass[] = L"menu_popup";
constexpr int kItemHeight = 28;
constexpr int kPadding = 8;

struct PopupState {
    HWND menuBar = nullptr;
    HWND owner = nullptr;
    std::vector<MenuItem> items;
    int highlight = 0;
    bool pressed = false;
    HFONT font = nullptr;
};

struct PopupParams {
    HWND menuBar;
    HWND owner;
    const std::vector<MenuItem>* items;
};

controls::WindowData<PopupState>& States() {
    static auto* states = new controls::WindowData<PopupState>;
    return *states;
}

int ItemAt(const PopupState& state, POINT pt, HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    if (!PtInRect(&client, pt)) {
        return -1;
    }
    const int index = (pt.y - 1) / kItemHeight;
    return index >= 0 && index < static_cast<int>(state.items.size()) ? index : -1;
}

void Choose(HWND hwnd, const PopupState& state, int index) {
    const UINT id = state.items[static_cast<std::size_t>(index)].id;
    const HWND owner = state.owner;
    DestroyWindow(hwnd);
    PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

void Highlight(HWND hwnd, PopupState& state, int index) {
    if (index != state.highlight) {
        state.highlight = index;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

LRESULT OnKeyDown(HWND hwnd, PopupState& state, WPARAM vk) {
    const int count = static_cast<int>(state.items.size());
    switch (vk) {
    case VK_UP:
        Highlight(hwnd, state, (state.highlight + count - 1) % count);
        break;
    case VK_DOWN:
        Highlight(hwnd, state, (state.highlight + 1) % count);
        break;
    case VK_RETURN:
    case VK_TSOFT1:
        Choose(hwnd, state, state.highlight);
        break;
    case VK_ESCAPE:
    case VK_TSOFT2:
        DestroyWindow(hwnd);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnMouse(HWND hwnd, PopupState& state, UINT msg, LPARAM lParam) {
    const auto bits = static_cast<std::uintptr_t>(lParam);
    const POINT pt{static_cast<std::int16_t>(LOWORD(bits)), static_cast<std::int16_t>(HIWORD(bits))};
    const int index = ItemAt(state, pt, hwnd);
    if (msg == WM_LBUTTONDOWN) {
        if (index < 0) {
            DestroyWindow(hwnd);
            return 0;
        }
        state.pressed = true;
        Highlight(hwnd, state, index);
    } else if (msg == WM_MOUSEMOVE) {
        if (state.pressed && index >= 0) {
            Highlight(hwnd, state, index);
        }
    } else if (state.pressed) { // WM_LBUTTONUP
        state.pressed = false;
        if (index >= 0) {
            Choose(hwnd, state, index);
        }
    }
    return 0;
}

void Paint(HWND hwnd, const PopupState& state) {
    controls::PaintSession paint(hwnd, state.font);
    const HDC hdc = paint.dc();
    if (!hdc) {
        return;
    }
    using namespace controls::palette;
    controls::FillSolid(hdc, paint.client(), kWhite);
    controls::FrameSolid(hdc, paint.client(), kBorderStrong);
    for (std::size_t i = 0; i < state.items.size(); ++i) {
        const int top = 1 + static_cast<int>(i) * kItemHeight;
        const RECT row{1, top, paint.client().right - 1, top + kItemHeight};
        const bool lit = static_cast<int>(i) == state.highlight;
        if (lit) {
            controls::FillSolid(hdc, row, kFocus);
        }
        RECT text = row;
        text.left += kPadding;
        controls::DrawLabel(hdc, state.items[i].text, text,
                            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, lit ? kWhite : kText);
    }
}

HFONT MakeFont() {
    LOGFONT lf{};
    lf.lfHeight = -15;
    lf.lfWeight = FW_NORMAL;
    return CreateFontIndirect(&lf);
}

LRESULT OnCreate(HWND hwnd, PopupState& state, LPARAM lParam) {
    const auto* params =
        static_cast<const PopupParams*>(reinterpret_cast<const CREATESTRUCT*>(lParam)->lpCreateParams);
    state.menuBar = params->menuBar;
    state.owner = params->owner;
    state.items = *params->items;
    state.font = MakeFont();
    desktop::SetSoftKeys(hwnd, hwnd, L"Select", L"Cancel");
    SetCapture(hwnd);
    return 0;
}

LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        States().Drop(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    const auto state = States().Of(hwnd);
    switch (msg) {
    case WM_CREATE:
        return OnCreate(hwnd, *state, lParam);
    case WM_KEYDOWN:
        return state->items.empty() ? 0 : OnKeyDown(hwnd, *state, wParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        return OnMouse(hwnd, *state, msg, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd, *state);
        return 0;
    case WM_DESTROY:
        if (GetCapture() == hwnd) {
            ReleaseCapture();
        }
        RecordPopup(state->menuBar, nullptr);
        if (state->font) {
            DeleteObject(state->font);
            state->font = nullptr;
        }
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterMenuPopupClass() {
    WNDCLASS wc{};
    wc.lpfnWndProc = PopupProc;
    wc.lpszClassName = kPopupClass;
    RegisterClass(&wc);
}

HWND OpenPopup(HWND menuBar, const MenuDescription& menu, int key) {
    const auto& items = menu.keys[key].popup;
    const desktop::ScreenLayout layout = desktop::Layout();
    const int width = std::max(120, layout.width * 2 / 3);
    const int height = static_cast<int>(items.size()) * kItemHeight + 2;
    const PopupParams params{menuBar, menu.owner, &items};
    const HWND popup = CreateWindowEx(WS_EX_TOPMOST, kPopupClass, L"", WS_POPUP | WS_VISIBLE,
                                      layout.width - width, layout.workArea.bottom - height, width, height,
                                      menu.topLevel, nullptr, nullptr, const_cast<PopupParams*>(&params));
    RecordPopup(menuBar, popup);
    return popup;
}

} // namespace platform::shell
