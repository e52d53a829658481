#include "WindowThread.h"

#include "platform/gdi/GdiApi.h"

#include <mutex>

namespace testing_support {
namespace {

constexpr UINT kRunMessage = WM_APP + 17;
constexpr wchar_t kPaneClass[] = L"TestPane";

LRESULT PaneProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        const HDC dc = BeginPaint(hwnd, &ps);
        const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(hwnd, GWL_USERDATA)));
        FillRect(dc, &ps.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void RegisterPaneClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASS wc{};
        wc.lpfnWndProc = PaneProc;
        wc.lpszClassName = kPaneClass;
        RegisterClass(&wc);
    });
}

} // namespace

WindowThread::WindowThread() {
    RegisterPaneClass();
    std::promise<DWORD> started;
    auto id = started.get_future();
    thread_ = std::thread([this, started = std::move(started)]() mutable { Loop(std::move(started)); });
    threadId_ = id.get();
}

WindowThread::~WindowThread() {
    PostThreadMessage(threadId_, WM_QUIT, 0, 0);
    thread_.join();
}

void WindowThread::Loop(std::promise<DWORD> started) {
    MSG msg{};
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE); // makes the queue
    started.set_value(GetCurrentThreadId());
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kRunMessage && !msg.hwnd) {
            (*reinterpret_cast<std::function<void()>*>(msg.lParam))();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

void WindowThread::Run(const std::function<void()>& work) {
    std::promise<void> done;
    std::function<void()> task = [&] {
        work();
        done.set_value();
    };
    PostThreadMessage(threadId_, kRunMessage, 0, reinterpret_cast<LPARAM>(&task));
    done.get_future().wait();
}

HWND WindowThread::CreatePane(const RECT& rect, COLORREF color, const std::wstring& caption) {
    HWND hwnd = nullptr;
    Run([&] {
        hwnd = CreateWindowEx(0, kPaneClass, caption.c_str(), WS_POPUP, rect.left, rect.top,
                              rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr,
                              nullptr);
        SetWindowLongPtr(hwnd, GWL_USERDATA, static_cast<LONG_PTR>(color));
        ShowWindow(hwnd, SW_SHOW);
    });
    return hwnd;
}

void WindowThread::Repaint(HWND pane, COLORREF color, const RECT* rect) {
    Run([&] {
        SetWindowLongPtr(pane, GWL_USERDATA, static_cast<LONG_PTR>(color));
        InvalidateRect(pane, rect, FALSE);
    });
}

} // namespace testing_support
