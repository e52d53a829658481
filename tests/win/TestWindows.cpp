#include "TestWindows.h"

#include <gtest/gtest.h>

#include "platform/win/Desktop.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

namespace lwtest {
namespace {

struct Behaviour {
    std::string name;
    Handler handler;
};

std::mutex g_mutex;
std::map<HWND, Behaviour> g_windows;

Behaviour BehaviourOf(HWND hwnd) {
    std::lock_guard lock(g_mutex);
    const auto it = g_windows.find(hwnd);
    return it == g_windows.end() ? Behaviour{} : it->second;
}

LRESULT TestWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        // Windows made by a dialog template carry no behaviour: they are named after their id.
        const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
        const auto* behaviour = static_cast<const Behaviour*>(cs->lpCreateParams);
        std::lock_guard lock(g_mutex);
        g_windows[hwnd] =
            behaviour ? *behaviour : Behaviour{"ctl" + std::to_string(GetDlgCtrlID(hwnd)), nullptr};
    }
    const Behaviour b = BehaviourOf(hwnd);
    Log().add(b.name, msg, wParam, lParam);
    std::optional<LRESULT> answer;
    if (b.handler) {
        answer = b.handler(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        std::lock_guard lock(g_mutex);
        g_windows.erase(hwnd);
    }
    return answer ? *answer : DefWindowProc(hwnd, msg, wParam, lParam);
}

std::once_flag g_classOnce;

void RegisterTestClass() {
    std::call_once(g_classOnce, [] {
        WNDCLASS wc{};
        wc.lpfnWndProc = TestWindowProc;
        wc.lpszClassName = L"LwTestWindow";
        RegisterClass(&wc);
    });
}

} // namespace

HWND MakeWindow(const std::string& name, DWORD style, HWND parent, RECT rect, Handler handler, int id,
                DWORD exStyle, HBRUSH background) {
    RegisterTestClass();
    Behaviour behaviour{name, std::move(handler)};
    LPCWSTR cls = L"LwTestWindow";
    if (background) {
        // One class per brush, made on demand: tests use a handful.
        static std::mutex m;
        static std::map<HBRUSH, std::wstring> classes;
        std::lock_guard lock(m);
        auto& className = classes[background];
        if (className.empty()) {
            className = L"LwTestBrush" + std::to_wstring(classes.size());
            WNDCLASS wc{};
            wc.lpfnWndProc = TestWindowProc;
            wc.hbrBackground = background;
            wc.lpszClassName = className.c_str();
            RegisterClass(&wc);
        }
        cls = className.c_str();
    }
    return CreateWindowEx(exStyle, cls, L"", style, rect.left, rect.top, rect.right, rect.bottom, parent,
                          reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, &behaviour);
}

std::string NameOf(HWND hwnd) {
    return BehaviourOf(hwnd).name;
}

INT_PTR TestDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtr(dialog, DWL_USER, lParam);
    }
    auto* script = reinterpret_cast<DialogScript*>(GetWindowLongPtr(dialog, DWL_USER));
    if (!script) {
        return FALSE;
    }
    Log().add(script->name, msg, wParam, lParam);
    if (script->handler) {
        if (const auto answer = script->handler(dialog, msg, wParam, lParam)) {
            return *answer;
        }
    }
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

INT_PTR RunDialog(const DLGTEMPLATE& tmpl, HWND parent, DialogScript& script) {
    return DialogBoxIndirectParam(nullptr, &tmpl, parent, TestDialogProc, reinterpret_cast<LPARAM>(&script));
}

void Pump() {
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

void RunMessageLoop() {
    MSG msg{};
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        HWND top = msg.hwnd;
        while (top && (GetWindowLongPtr(top, GWL_STYLE) & WS_CHILD)) {
            top = GetParent(top);
        }
        wchar_t cls[16] = {};
        if (top && GetClassName(top, cls, 16) && std::wstring(cls) == L"#32770" &&
            IsDialogMessage(top, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

void WaitOrDie(const std::function<bool()>& condition, const char* what) {
    if (!platform::desktop::WaitUntil(condition, kPatience)) {
        ADD_FAILURE() << "gave up waiting for: " << what;
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(1); // threads are stuck; nothing can be cleaned up
    }
}

UiThread::UiThread(std::function<void()> body)
    : thread_([this, body = std::move(body)] {
          id_.store(GetCurrentThreadId(), std::memory_order_release);
          body();
          finished_.store(true, std::memory_order_release);
      }) {
    WaitOrDie([this] { return id() != 0; }, "thread start");
}

UiThread::~UiThread() {
    if (thread_.joinable()) {
        quit();
        join();
    }
}

void UiThread::quit() {
    PostThreadMessage(id(), WM_QUIT, 0, 0);
}

void UiThread::join() {
    WaitOrDie([this] { return finished(); }, "thread end");
    thread_.join();
}

TemplateBuilder::TemplateBuilder(DWORD style, short cx, short cy, LPCWSTR caption) {
    RegisterTestClass();
    RegisterTestControls();
    tmpl.style = style;
    tmpl.cx = cx;
    tmpl.cy = cy;
    tmpl.caption = caption;
}

TemplateBuilder& TemplateBuilder::add(LPCWSTR cls, int id, DWORD style, short x, short y, short cx, short cy,
                                      LPCWSTR text) {
    items.push_back(DLGITEMTEMPLATE{style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id, cls, text});
    tmpl.items = items.data();
    tmpl.cdit = static_cast<WORD>(items.size());
    return *this;
}

} // namespace lwtest
