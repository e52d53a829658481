#include "TestThreads.h"

#include "app/MonitorSession.h"
#include "app/Resource.h"
#include "platform/afx/CDialog.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/win/Clock.h"
#include "platform/win/Desktop.h"
#include "platform/win/Resources.h"
#include "telephony/AlarmCall.h"
#include "telephony/LineSetup.h"

#include <condition_variable>
#include <cwchar>
#include <mutex>

namespace lullwatch::test {
namespace {

// The call window's template, as the program's resources define dialog 105.
constexpr DWORD kCentredLabel = WS_CHILD | WS_VISIBLE | SS_CENTER | WS_GROUP;
const DLGITEMTEMPLATE kCallItems[] = {
    {kCentredLabel, 0, 6, 10, 100, 8, 65535, L"STATIC", L"Phone Number:"},
    {kCentredLabel, 0, 6, 23, 100, 8, IDC_CALL_NUMBER, L"STATIC", L""},
    {kCentredLabel, 0, 6, 41, 100, 8, 65535, L"STATIC", L"Current Status:"},
    {kCentredLabel, 0, 6, 52, 100, 8, IDC_CALL_STATUS, L"STATIC", L""},
    {WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 0, 29, 79, 50, 14, IDCANCEL, L"BUTTON", L"Hang Up"},
};
const DLGTEMPLATE kCallTemplate = {WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
                                   0,
                                   0,
                                   0,
                                   113,
                                   95,
                                   L"Lullwatch",
                                   8,
                                   L"Tahoma",
                                   kCallItems,
                                   static_cast<WORD>(std::size(kCallItems))};

constexpr wchar_t kMainClass[] = L"TelephonyTestMain";
constexpr UINT kFlushMessage = WM_APP + 1;

std::atomic<StandInMainWindow*> standIn{nullptr};
CDialog standInObject; // the framework object g_session publishes; bound on the window's thread

// --- The status log and the alarm thread's hook ---

struct HookState {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::wstring> texts;
    std::function<void()> beforeCallWindow;
    WNDPROC statusProc = nullptr;
};

HookState& Hook() {
    static auto* state = new HookState; // outlives every thread
    return *state;
}

LRESULT StatusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto& hook = Hook();
    WNDPROC original;
    {
        std::lock_guard lock(hook.mutex);
        original = hook.statusProc;
        if (msg == WM_SETTEXT && lParam != 0 && *reinterpret_cast<LPCWSTR>(lParam) != L'\0') {
            hook.texts.emplace_back(reinterpret_cast<LPCWSTR>(lParam));
        }
    }
    hook.changed.notify_all();
    return CallWindowProc(original, hwnd, msg, wParam, lParam);
}

thread_local HHOOK alarmHook = nullptr; // the alarm thread's own hook, handed on to the next

LRESULT CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const HWND hwnd = reinterpret_cast<HWND>(wParam);
        const CREATESTRUCT* cs = reinterpret_cast<CBT_CREATEWND*>(lParam)->lpcs;
        auto& hook = Hook();
        if ((cs->style & WS_CHILD) != 0 && reinterpret_cast<std::uintptr_t>(cs->hMenu) == IDC_CALL_STATUS) {
            const auto previous = reinterpret_cast<WNDPROC>(
                SetWindowLongPtr(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&StatusProc)));
            std::lock_guard lock(hook.mutex);
            hook.statusProc = previous;
        } else if ((cs->style & WS_CHILD) == 0 && cs->lpszName != nullptr &&
                   std::wcscmp(cs->lpszName, L"Lullwatch") == 0) {
            std::function<void()> before;
            {
                std::lock_guard lock(hook.mutex);
                before = std::move(hook.beforeCallWindow);
                hook.beforeCallWindow = nullptr;
            }
            if (before) {
                before();
            }
        }
    }
    return CallNextHookEx(alarmHook, code, wParam, lParam);
}

} // namespace

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    return platform::desktop::WaitUntil(condition, timeout);
}

// --- StandInMainWindow ---

void StandInMainWindow::Start() {
    standIn.store(this);
    thread_ = std::thread([this] { Run(); });
    ASSERT_TRUE(WaitFor([this] { return g_session.mainDialog.load() != nullptr; }));
}

void StandInMainWindow::Run() {
    static const bool registered = [] {
        WNDCLASS wc{};
        wc.lpfnWndProc = &StandInMainWindow::Proc;
        wc.lpszClassName = kMainClass;
        return RegisterClass(&wc) != 0;
    }();
    (void)registered;
    const HWND hwnd = CreateWindowEx(0, kMainClass, L"Main", WS_POPUP | WS_VISIBLE, 0, 0, 240, 240, nullptr,
                                     nullptr, nullptr, nullptr);
    hwnd_.store(hwnd);
    standInObject.Attach(hwnd);
    g_session.mainDialog.store(&standInObject, std::memory_order_release);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

LRESULT StandInMainWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    StandInMainWindow* self = standIn.load();
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_CALL_FINISHED) {
            ++(wParam == ID_CALL_FINISHED && lParam == 0 ? self->finished_ : self->malformed_);
        }
        return 0;
    case kFlushMessage:
        ++self->flushes_;
        return 0;
    case WM_CLOSE:
        g_session.mainDialog.store(nullptr, std::memory_order_release);
        standInObject.Detach();
        DestroyWindow(hwnd);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void StandInMainWindow::Flush() {
    const int before = flushes_.load();
    PostMessage(Hwnd(), kFlushMessage, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return flushes_.load() > before; }));
}

void StandInMainWindow::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    PostMessage(Hwnd(), WM_CLOSE, 0, 0);
    thread_.join();
    hwnd_.store(nullptr);
}

// --- AlarmThread and the status log ---

void StatusLog::Clear() {
    std::lock_guard lock(Hook().mutex);
    Hook().texts.clear();
}

std::vector<std::wstring> StatusLog::Texts() {
    std::lock_guard lock(Hook().mutex);
    return Hook().texts;
}

bool StatusLog::WaitForCount(std::size_t count) {
    std::unique_lock lock(Hook().mutex);
    return Hook().changed.wait_for(lock, kDeadline, [&] { return Hook().texts.size() >= count; });
}

void AlarmThread::Start(std::wstring number, HINSTANCE instance, HWND parent,
                        std::function<void()> beforeCallWindow) {
    {
        std::lock_guard lock(Hook().mutex);
        Hook().beforeCallWindow = std::move(beforeCallWindow);
    }
    thread_ = std::thread([this, number = std::move(number), instance, parent] {
        alarmHook = SetWindowsHookEx(WH_CBT, &CbtProc, nullptr, GetCurrentThreadId());
        PlaceAlarmCall(number.c_str(), instance, parent);
        UnhookWindowsHookEx(alarmHook);
        done_.store(true);
    });
}

bool AlarmThread::Join() {
    if (!thread_.joinable()) {
        return true;
    }
    if (!WaitFor([this] { return done_.load(); })) {
        return false;
    }
    thread_.join();
    return true;
}

AlarmThread::~AlarmThread() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

// --- StartupThread ---

StartupThread::StartupThread(HINSTANCE instance) {
    thread_ = std::thread([this, instance] {
        result_.store(TelephonyStartup(instance));
        done_.store(true);
    });
}

StartupThread::~StartupThread() {
    if (thread_.joinable()) {
        if (!WaitFor([this] { return done_.load(); })) {
            DismissMessageBoxes();
        }
        thread_.join();
    }
}

std::optional<LONG> StartupThread::Result() {
    if (!WaitFor([this] { return done_.load(); })) {
        return std::nullopt;
    }
    return result_.load();
}

// --- Message boxes ---

std::optional<BoxSeen> WaitForMessageBox(HWND except) {
    BoxSeen seen;
    const bool found = WaitFor([&] {
        for (const auto& w : platform::desktop::EnumerateTopLevels()) {
            if (w.hwnd == except || !w.visible || !platform::controls::IsMessageBox(w.hwnd)) {
                continue;
            }
            const auto info = platform::controls::ReadMessageBox(w.hwnd);
            if (!info) {
                continue;
            }
            seen = BoxSeen{w.hwnd, w.owner, info->caption, info->text, info->type, platform::Clock::NowMs()};
            return true;
        }
        return false;
    });
    if (!found) {
        return std::nullopt;
    }
    return seen;
}

bool Answer(HWND box, int button) {
    if (!platform::controls::PressMessageBoxButton(box, button)) {
        return false;
    }
    return WaitFor([box] { return !platform::controls::IsMessageBox(box); });
}

void DismissMessageBoxes() {
    for (int i = 0; i < 16; ++i) {
        const HWND box = platform::controls::TopmostMessageBox();
        if (box == nullptr) {
            return;
        }
        Answer(box, IDOK);
    }
}

void RegisterCallDialogTemplate(HINSTANCE instance) {
    platform::resources::Register(instance, RT_DIALOG, MAKEINTRESOURCE(IDD_CALL_DIALOG), &kCallTemplate,
                                  sizeof kCallTemplate);
}

} // namespace lullwatch::test
