// Stand-ins for the device's button, radio button and edit controls, just enough for the dialog
// manager's tests (the real controls live elsewhere).
#include "TestWindows.h"

#include <mutex>
#include <string>

namespace lwtest {
namespace {

std::string LogName(HWND hwnd) {
    return "ctl" + std::to_string(GetDlgCtrlID(hwnd));
}

void Notify(HWND control) {
    SendMessage(GetParent(control), WM_COMMAND,
                MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), BN_CLICKED),
                reinterpret_cast<LPARAM>(control));
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Log().add(LogName(hwnd), msg, wParam, lParam);
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON |
               ((GetWindowLongPtr(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON
                                                                                      : DLGC_UNDEFPUSHBUTTON);
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        return 0;
    case WM_LBUTTONUP:
    case BM_CLICK:
        Notify(hwnd);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void CheckRadio(HWND hwnd) {
    const HWND parent = GetParent(hwnd);
    for (HWND sibling = GetWindow(parent, GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling != hwnd && (GetWindowLongPtr(sibling, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
            SendMessage(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    SendMessage(hwnd, BM_SETCHECK, BST_CHECKED, 0);
}

LRESULT RadioProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Log().add(LogName(hwnd), msg, wParam, lParam);
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BM_GETCHECK:
        return GetWindowLongPtr(hwnd, GWL_USERDATA);
    case BM_SETCHECK:
        SetWindowLongPtr(hwnd, GWL_USERDATA, static_cast<LONG_PTR>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        return 0;
    case WM_LBUTTONUP:
    case BM_CLICK:
        CheckRadio(hwnd);
        Notify(hwnd);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Log().add(LogName(hwnd), msg, wParam, lParam);
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        return 0;
    case WM_CHAR: {
        wchar_t text[256] = {};
        GetWindowText(hwnd, text, 255);
        std::wstring updated = std::wstring(text) + static_cast<wchar_t>(wParam);
        SetWindowText(hwnd, updated.c_str());
        return 0;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterTestControls() {
    static std::once_flag once;
    std::call_once(once, [] {
        const std::pair<LPCWSTR, WNDPROC> classes[] = {
            {L"LwTestButton", ButtonProc}, {L"LwTestRadio", RadioProc}, {L"LwTestEdit", EditProc}};
        for (const auto& [name, proc] : classes) {
            WNDCLASS wc{};
            wc.lpfnWndProc = proc;
            wc.lpszClassName = name;
            RegisterClass(&wc);
        }
    });
}

} // namespace lwtest
