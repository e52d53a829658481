// The default handling of window messages.
#include "platform/gdi/GdiApi.h"
#include "platform/win/ChangeNotifier.h"
#include "platform/win/Desktop.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowClasses.h"
#include "platform/win/WindowRegistry.h"

#include <algorithm>
#include <string>

using namespace platform::win;

namespace {

LRESULT StoreText(HWND hwnd, LPCWSTR text) {
    bool topLevel = false;
    RECT caption{};
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(hwnd);
        if (!w) {
            return FALSE;
        }
        w->text = text ? text : L"";
        topLevel = !w->parent && IsVisibleLocked(*w);
        caption = RECT{0, 0, WindowRegistry::Get().screenWidth, platform::desktop::kCaptionBarHeight};
    }
    if (topLevel) {
        NotifyScreenChanged(caption); // the desktop shows the caption of a top-level window
    } else {
        NotifyStateChanged();
    }
    return TRUE;
}

LRESULT CopyText(HWND hwnd, WPARAM size, LPWSTR buffer) {
    std::wstring text;
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            return 0;
        }
        text = w->text;
    }
    if (!buffer || size == 0) {
        return 0;
    }
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    text.copy(buffer, n);
    buffer[n] = L'\0';
    return static_cast<LRESULT>(n);
}

LRESULT TextLength(HWND hwnd) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    return w ? static_cast<LRESULT>(w->text.size()) : 0;
}

LRESULT EraseWithClassBrush(HWND hwnd, HDC hdc) {
    HBRUSH brush = nullptr;
    RECT client{};
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            return 0;
        }
        brush = w->windowClass->background;
        client = w->clientRect();
    }
    if (!brush) {
        return 0;
    }
    FillRect(hdc, &client, brush);
    return 1;
}

LRESULT PaintNothing(HWND hwnd) {
    PAINTSTRUCT ps{};
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    return 0;
}

// The device's default colours for controls and dialogs: black on white.
LRESULT DefaultColours(WPARAM hdcParam) {
    const HDC hdc = reinterpret_cast<HDC>(hdcParam);
    SetTextColor(hdc, RGB(0, 0, 0));
    SetBkColor(hdc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

} // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETTEXT:
        return StoreText(hwnd, reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT:
        return CopyText(hwnd, wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH:
        return TextLength(hwnd);
    case WM_PAINT:
        return PaintNothing(hwnd);
    case WM_ERASEBKGND:
        return EraseWithClassBrush(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return DefaultColours(wParam);
    default:
        return 0;
    }
}
