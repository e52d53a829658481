// The msctls_progress32 class: a bar that fills in proportion to its position, from the left, or from the
// bottom with PBS_VERTICAL, with a frame when it has WS_BORDER. Before painting it asks its parent with
// NM_CUSTOMDRAW and draws itself when the answer is CDRF_DODEFAULT. A change of position (or of the range)
// repaints the bar's own rectangle only, and only when something really changed.
#include "platform/controls/ControlClasses.h"
#include "platform/controls/ControlConstants.h"
#include "platform/controls/ControlPaint.h"
#include "platform/controls/ControlProcs.h"
#include "platform/controls/ProgressModel.h"
#include "platform/controls/WindowData.h"
#include "platform/win/Messaging.h"

namespace platform::controls {
namespace {

WindowData<ProgressModel>& States() {
    static auto* states = new WindowData<ProgressModel>;
    return *states;
}

void Paint(HWND hwnd, const ProgressModel& model) {
    PaintSession paint(hwnd, nullptr);
    const HDC hdc = paint.dc();
    if (!hdc || (CustomDrawPrePaint(hwnd, hdc, paint.client()) & CDRF_SKIPDEFAULT)) {
        return;
    }
    const DWORD style = static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
    RECT inner = paint.client();
    if (style & WS_BORDER) {
        FrameSolid(hdc, inner, palette::kBorder);
        InflateRect(&inner, -1, -1);
    }
    FillSolid(hdc, inner, palette::kWhite);
    RECT bar = inner;
    if (style & PBS_VERTICAL) {
        bar.top = bar.bottom - model.filled(inner.bottom - inner.top);
    } else {
        bar.right = bar.left + model.filled(inner.right - inner.left);
    }
    FillSolid(hdc, bar, IsWindowEnabled(hwnd) ? palette::kFill : palette::kBorder);
}

// Runs a change and repaints when the position moved; returns what the change returned.
template <typename Change> LRESULT Move(HWND hwnd, ProgressModel& model, Change change) {
    const int before = model.pos();
    const LRESULT result = change();
    if (model.pos() != before) {
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    return result;
}

LRESULT ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        States().Drop(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    const auto model = States().Of(hwnd);
    if (const auto common = CommonControlMessage(hwnd, msg, wParam, lParam, nullptr)) {
        return *common;
    }
    const auto range = static_cast<std::uintptr_t>(lParam);
    switch (msg) {
    case PBM_SETRANGE: {
        const DWORD previous = model->setRange(LOWORD(range), HIWORD(range));
        if (previous != MAKELONG(static_cast<WORD>(model->low()), static_cast<WORD>(model->high()))) {
            InvalidateRect(hwnd, nullptr, FALSE); // the same position may fill a different share now
        }
        return static_cast<LRESULT>(previous);
    }
    case PBM_SETPOS:
        return Move(hwnd, *model,
                    [&] { return static_cast<LRESULT>(model->setPos(static_cast<int>(wParam))); });
    case PBM_DELTAPOS:
        return Move(hwnd, *model,
                    [&] { return static_cast<LRESULT>(model->deltaPos(static_cast<int>(wParam))); });
    case PBM_STEPIT:
        return Move(hwnd, *model, [&] { return static_cast<LRESULT>(model->stepIt()); });
    case PBM_SETSTEP:
        return model->setStep(static_cast<int>(wParam));
    case PBM_GETPOS:
        return model->pos();
    case PBM_GETRANGE:
        return wParam ? model->low() : model->high();
    case WM_PAINT:
        Paint(hwnd, *model);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterProgressClass() {
    WNDCLASS wc{};
    wc.lpfnWndProc = ProgressProc;
    wc.lpszClassName = kProgressClass;
    RegisterClass(&wc);
    // Setting the position touches only the bar's own state and its invalid area, and never waits: the
    // sender may do it in the owner's place (the level meter is set this way for every sound buffer).
    platform::win::AllowStandIn(kProgressClass, PBM_SETPOS);
}

} // namespace platform::controls
