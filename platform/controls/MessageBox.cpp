// MessageBox: a modal dialog run on the calling thread through the window manager's modal dialog loop,
// so that the thread keeps handling sent messages and timers while the box is up. The owner (the
// top-level window of `owner`, when given) is disabled until the box is answered. MB_TOPMOST keeps the
// box above windows without it. See MessageBoxes.h for its parts.
#include "platform/controls/ControlClasses.h"
#include "platform/controls/ControlConstants.h"
#include "platform/controls/ControlPaint.h"
#include "platform/controls/MessageBoxRegistry.h"
#include "platform/win/Desktop.h"
#include "platform/win/WinApi.h"

#include <algorithm>
#include <string>

namespace platform::controls {
namespace {

constexpr int kMargin = 8;
constexpr int kHeadingHeight = 32;
constexpr int kButtonHeight = 30;
constexpr int kSingleButtonWidth = 110;
constexpr WORD kFontPoints = 9;
constexpr wchar_t kFontFace[] = L"Tahoma";

struct Box {
    std::wstring caption;
    std::wstring text;
    UINT type = MB_OK;
    bool hasCancel = false;
    HFONT headingFont = nullptr;
};

bool WantsCancel(UINT type) {
    return (type & MB_TYPEMASK) == MB_OKCANCEL;
}
bool WantsWarningSign(UINT type) {
    return (type & MB_ICONMASK) == MB_ICONEXCLAMATION;
}

Box* BoxOf(HWND hwnd) {
    return reinterpret_cast<Box*>(GetWindowLongPtr(hwnd, DWL_USER));
}

// The text under the heading, the buttons along the bottom: OK alone in the middle, or OK at the left
// and Cancel at the right, as the soft keys are.
void Layout(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right - client.left;
    const int buttonTop = std::max(0, static_cast<int>(client.bottom) - kMargin - kButtonHeight);
    const int textTop = kMargin + kHeadingHeight + kMargin;
    if (const HWND text = GetDlgItem(hwnd, kMessageBoxTextId)) {
        MoveWindow(text, kMargin, textTop, std::max(0, width - 2 * kMargin),
                   std::max(0, buttonTop - kMargin - textTop), TRUE);
    }
    const HWND ok = GetDlgItem(hwnd, IDOK);
    const HWND cancel = GetDlgItem(hwnd, IDCANCEL);
    if (ok && cancel) {
        const int half = std::max(0, (width - 3 * kMargin) / 2);
        MoveWindow(ok, kMargin, buttonTop, half, kButtonHeight, TRUE);
        MoveWindow(cancel, width - kMargin - half, buttonTop, half, kButtonHeight, TRUE);
    } else if (ok) {
        const int w = std::min(kSingleButtonWidth, std::max(0, width - 2 * kMargin));
        MoveWindow(ok, (width - w) / 2, buttonTop, w, kButtonHeight, TRUE);
    }
}

void Paint(HWND hwnd, const Box& box) {
    PaintSession paint(hwnd, box.headingFont);
    const HDC hdc = paint.dc();
    if (!hdc) {
        return;
    }
    const RECT& client = paint.client();
    RECT heading{kMargin, kMargin, client.right - kMargin, kMargin + kHeadingHeight};
    if (WantsWarningSign(box.type)) {
        DrawWarningSign(hdc, RECT{heading.left, heading.top + 4, heading.left + 26, heading.top + 28});
        heading.left += 26 + kMargin;
    }
    DrawLabel(hdc, box.caption, heading, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX,
              palette::kText);
    FillSolid(
        hdc,
        RECT{kMargin, kMargin + kHeadingHeight + 2, client.right - kMargin, kMargin + kHeadingHeight + 3},
        palette::kBorder);
}

HFONT MakeHeadingFont() {
    LOGFONT lf{};
    lf.lfHeight = -(kFontPoints * 3 / 2 + 2);
    lf.lfWeight = FW_BOLD;
    std::copy(std::begin(kFontFace), std::end(kFontFace), lf.lfFaceName);
    return CreateFontIndirect(&lf);
}

MessageBoxInfo InfoOf(HWND hwnd, const Box& box) {
    MessageBoxInfo info{hwnd, box.caption, box.text, box.type, {{IDOK, L"OK"}}, GetCurrentThreadId()};
    if (box.hasCancel) {
        info.buttons.push_back({IDCANCEL, L"Cancel"});
    }
    return info;
}

INT_PTR OnInitDialog(HWND hwnd, LPARAM param) {
    auto* box = reinterpret_cast<Box*>(param);
    SetWindowLongPtr(hwnd, DWL_USER, param);
    box->headingFont = MakeHeadingFont();
    Layout(hwnd);
    desktop::SetSoftKeys(hwnd, hwnd, L"OK", box->hasCancel ? L"Cancel" : L"");
    RecordMessageBox(InfoOf(hwnd, *box));
    return TRUE; // the focus goes to the first button
}

void Answer(HWND hwnd, int id) {
    const Box* box = BoxOf(hwnd);
    if (box) {
        EndDialog(hwnd, id == IDCANCEL && box->hasCancel ? IDCANCEL : IDOK);
    }
}

INT_PTR MessageBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(hwnd, lParam);
    case WM_SIZE:
        Layout(hwnd);
        return TRUE;
    case WM_PAINT:
        if (const Box* box = BoxOf(hwnd)) {
            Paint(hwnd, *box);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            Answer(hwnd, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_KEYDOWN: // the soft keys: the box is its own menu bar
        if (wParam == VK_TSOFT1) {
            Answer(hwnd, IDOK);
            return TRUE;
        }
        if (wParam == VK_TSOFT2) {
            if (const Box* box = BoxOf(hwnd); box && box->hasCancel) {
                Answer(hwnd, IDCANCEL);
            }
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        ForgetMessageBox(hwnd);
        if (Box* box = BoxOf(hwnd); box && box->headingFont) {
            DeleteObject(box->headingFont);
            box->headingFont = nullptr;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace
} // namespace platform::controls

int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    using namespace platform::controls;
    RegisterControlClasses();
    Box box;
    box.caption = caption ? caption : L"Error";
    box.text = text ? text : L"";
    box.type = type;
    box.hasCancel = WantsCancel(type);

    const DLGITEMTEMPLATE items[] = {
        {WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, 0, kMessageBoxTextId, kStaticClass,
         box.text.c_str()},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, 0, IDOK, kButtonClass,
         L"OK"},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, 0, IDCANCEL, kButtonClass,
         L"Cancel"},
    };
    DLGTEMPLATE tmpl{};
    tmpl.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    tmpl.dwExtendedStyle = (type & MB_TOPMOST) ? WS_EX_TOPMOST : 0;
    tmpl.caption = box.caption.c_str();
    tmpl.pointSize = kFontPoints;
    tmpl.typeface = kFontFace;
    tmpl.items = items;
    tmpl.cdit = box.hasCancel ? 3 : 2;

    const INT_PTR result =
        DialogBoxIndirectParam(nullptr, &tmpl, owner, MessageBoxProc, reinterpret_cast<LPARAM>(&box));
    return result > 0 ? static_cast<int>(result) : 0;
}
