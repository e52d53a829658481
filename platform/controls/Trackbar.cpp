// The msctls_trackbar32 class, horizontal: a channel with a thumb, and ticks below it (above with
// TBS_TOP, on both sides with TBS_BOTH; every TBM_SETTICFREQ positions with TBS_AUTOTICKS). The keys
// move the thumb by a line (arrows), a page (Page Up/Down) or to an end (Home/End); a click on the
// channel puts the thumb at the clicked position, and dragging moves it along. Each change of position
// by the user is reported to the parent as WM_HSCROLL with the scroll code. Before painting it asks its
// parent with NM_CUSTOMDRAW, as the progress bar does.
#include "platform/controls/ControlClasses.h"
#include "platform/controls/ControlConstants.h"
#include "platform/controls/ControlPaint.h"
#include "platform/controls/ControlProcs.h"
#include "platform/controls/TrackbarModel.h"
#include "platform/controls/WindowData.h"

#include <algorithm>
#include <cstdint>

namespace platform::controls {
namespace {

constexpr int kThumbWidth = 10;
constexpr int kMargin = kThumbWidth / 2 + 3; // channel ends, so that the thumb fits at either end
constexpr int kTickLength = 4;

struct TrackbarState {
    TrackbarModel model;
    bool focused = false;
    bool tracking = false;
    bool movedWhileTracking = false;
};

WindowData<TrackbarState>& States() {
    static auto* states = new WindowData<TrackbarState>;
    return *states;
}

struct Channel {
    int left;
    int width;
};

Channel ChannelOf(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return Channel{client.left + kMargin,
                   std::max(0, static_cast<int>(client.right - client.left) - 2 * kMargin)};
}

void Report(HWND hwnd, WORD code, int pos) {
    const HWND parent = GetParent(hwnd);
    if (parent) {
        SendMessage(parent, WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)),
                    reinterpret_cast<LPARAM>(hwnd));
    }
}

void PaintTicks(HDC hdc, const TrackbarModel& model, DWORD style, const Channel& channel, int top,
                int bottom) {
    const bool above = (style & (TBS_TOP | TBS_BOTH)) != 0;
    const bool below = !(style & TBS_TOP) || (style & TBS_BOTH);
    for (const int tick : model.ticks((style & TBS_AUTOTICKS) != 0)) {
        const int x = model.xOf(tick, channel.left, channel.width);
        if (above) {
            FillSolid(hdc, RECT{x, top, x + 1, top + kTickLength}, palette::kBorder);
        }
        if (below) {
            FillSolid(hdc, RECT{x, bottom - kTickLength, x + 1, bottom}, palette::kBorder);
        }
    }
}

void Paint(HWND hwnd, const TrackbarState& state) {
    PaintSession paint(hwnd, nullptr);
    const HDC hdc = paint.dc();
    if (!hdc) {
        return;
    }
    if (CustomDrawPrePaint(hwnd, hdc, paint.client()) & CDRF_SKIPDEFAULT) {
        return;
    }
    const HBRUSH background = ParentBrush(hwnd, hdc, WM_CTLCOLORSTATIC);
    const RECT& client = paint.client();
    FillRect(hdc, &client, background);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
    const Channel channel = ChannelOf(hwnd);
    const int midY = (client.top + client.bottom) / 2;
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    if (!(style & TBS_NOTICKS)) {
        PaintTicks(hdc, state.model, style, channel, client.top + 1, client.bottom - 1);
    }
    FillSolid(hdc, RECT{channel.left, midY - 2, channel.left + channel.width, midY + 2}, palette::kChannel);
    const int thumbX = state.model.xOf(state.model.pos(), channel.left, channel.width);
    const int thumbHalfHeight =
        std::max(4, static_cast<int>(client.bottom - client.top) / 2 - kTickLength - 3);
    const RECT thumb{thumbX - kThumbWidth / 2, midY - thumbHalfHeight, thumbX - kThumbWidth / 2 + kThumbWidth,
                     midY + thumbHalfHeight};
    FillSolid(hdc, thumb, enabled ? palette::kFill : palette::kBorder);
    if (state.focused) {
        FrameSolid(hdc, client, palette::kFocus);
    }
}

void Invalidate(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT OnKey(HWND hwnd, TrackbarState& state, WPARAM vk) {
    if (!IsWindowEnabled(hwnd)) {
        return 0;
    }
    const int before = state.model.pos();
    const auto code = state.model.key(static_cast<UINT>(vk));
    if (code && state.model.pos() != before) {
        Invalidate(hwnd);
        Report(hwnd, *code, state.model.pos());
    }
    return 0;
}

void TrackTo(HWND hwnd, TrackbarState& state, LPARAM lParam) {
    const Channel channel = ChannelOf(hwnd);
    const int pos = state.model.posAt(PointFromLParam(lParam).x, channel.left, channel.width);
    if (pos != state.model.pos()) {
        state.model.setPos(pos);
        state.movedWhileTracking = true;
        Invalidate(hwnd);
        Report(hwnd, TB_THUMBTRACK, pos);
    }
}

LRESULT OnMouse(HWND hwnd, TrackbarState& state, UINT msg, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN) {
        if (IsWindowEnabled(hwnd)) {
            SetFocus(hwnd);
            SetCapture(hwnd);
            state.tracking = true;
            state.movedWhileTracking = false;
            TrackTo(hwnd, state, lParam);
        }
    } else if (msg == WM_MOUSEMOVE) {
        if (state.tracking) {
            TrackTo(hwnd, state, lParam);
        }
    } else if (state.tracking) { // WM_LBUTTONUP
        state.tracking = false;
        ReleaseCapture();
        if (state.movedWhileTracking) {
            Report(hwnd, TB_THUMBPOSITION, state.model.pos());
        }
    }
    return 0;
}

// TBM_SETRANGEMIN, TBM_SETRANGEMAX, TBM_SETRANGE and TBM_SETPOS: wParam asks for a redraw.
LRESULT OnSet(HWND hwnd, TrackbarModel& model, UINT msg, WPARAM redraw, LPARAM lParam) {
    const auto value = static_cast<int>(lParam);
    switch (msg) {
    case TBM_SETRANGEMIN:
        model.setRangeMin(value);
        break;
    case TBM_SETRANGEMAX:
        model.setRangeMax(value);
        break;
    case TBM_SETRANGE:
        model.setRangeMin(static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam))));
        model.setRangeMax(static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam))));
        break;
    default:
        model.setPos(value);
        break;
    }
    if (redraw) {
        Invalidate(hwnd);
    }
    return 0;
}

// The TBM_ messages: WM_USER + 0 (TBM_GETPOS) to WM_USER + 24 (TBM_GETLINESIZE).
LRESULT OnTrackbarMessage(HWND hwnd, TrackbarModel& model, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case TBM_GETPOS:
        return model.pos();
    case TBM_GETRANGEMIN:
        return model.min();
    case TBM_GETRANGEMAX:
        return model.max();
    case TBM_SETRANGEMIN:
    case TBM_SETRANGEMAX:
    case TBM_SETRANGE:
    case TBM_SETPOS:
        return OnSet(hwnd, model, msg, wParam, lParam);
    case TBM_SETTICFREQ:
        model.setTicFreq(static_cast<int>(wParam));
        Invalidate(hwnd);
        return 0;
    case TBM_SETLINESIZE:
        return model.setLineSize(static_cast<int>(lParam));
    case TBM_GETLINESIZE:
        return model.lineSize();
    case TBM_SETPAGESIZE:
        return model.setPageSize(static_cast<int>(lParam));
    case TBM_GETPAGESIZE:
        return model.pageSize();
    default:
        return 0;
    }
}

LRESULT TrackbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        States().Drop(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    const auto state = States().Of(hwnd);
    if (const auto common = CommonControlMessage(hwnd, msg, wParam, lParam, nullptr)) {
        return *common;
    }
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_KEYDOWN:
        return OnKey(hwnd, *state, wParam);
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        return OnMouse(hwnd, *state, msg, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        state->focused = msg == WM_SETFOCUS;
        Invalidate(hwnd);
        return 0;
    case WM_PAINT:
        Paint(hwnd, *state);
        return 0;
    default:
        if (msg >= TBM_GETPOS && msg <= TBM_GETLINESIZE) {
            return OnTrackbarMessage(hwnd, state->model, msg, wParam, lParam);
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterTrackbarClass() {
    WNDCLASS wc{};
    wc.lpfnWndProc = TrackbarProc;
    wc.lpszClassName = kTrackbarClass;
    RegisterClass(&wc);
}

} // namespace platform::controls
