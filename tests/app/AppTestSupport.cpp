#include "AppTestSupport.h"

#include "platform/fs/AppDataRoot.h"
#include "platform/fs/NativePath.h"
#include "platform/host/ProgramResources.h"
#include "platform/win/Resources.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>

namespace lwapp {

void UseProgramResources() {
    static std::once_flag once;
    std::call_once(once, [] {
        platform::host::RegisterProgramResources(platform::resources::ProgramInstance());
        platform::controls::RegisterControlClasses();
    });
    AfxSetResourceHandle(platform::resources::ProgramInstance());
}

DataFolder::DataFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lullwatch-app-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder";
    }
    root_ = pattern;
    platform::fs::SetAppDataRoot(platform::fs::FromNativePath(root_.string()));
}

DataFolder::~DataFolder() {
    platform::fs::SetAppDataRoot(L"");
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string DataFolder::Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void DataFolder::Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(SettingsFolder());
    std::ofstream(File(name), std::ios::binary) << bytes;
}

HWND WaitForWindow(const std::wstring& caption, bool visible) {
    HWND found = nullptr;
    Eventually([&] {
        for (const auto& w : platform::desktop::EnumerateTopLevels()) {
            if ((w.visible || !visible) && w.text == caption) {
                found = w.hwnd;
                return true;
            }
        }
        return false;
    });
    return found;
}

HWND WaitForMessageBox() {
    HWND box = nullptr;
    Eventually([&] {
        box = platform::controls::TopmostMessageBox();
        return box != nullptr;
    });
    return box;
}

int MessageBoxCount() {
    int count = 0;
    for (const auto& w : platform::desktop::EnumerateTopLevels()) {
        count += w.visible && platform::controls::IsMessageBox(w.hwnd) ? 1 : 0;
    }
    return count;
}

void Click(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    platform::desktop::InjectClick(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

std::wstring WindowText(HWND hwnd) {
    for (const auto& w : platform::desktop::EnumerateTopLevels()) {
        if (w.hwnd == hwnd) {
            return w.text;
        }
        for (const auto& c : platform::desktop::EnumerateChildren(w.hwnd)) {
            if (c.hwnd == hwnd) {
                return c.text;
            }
        }
    }
    return L"";
}

namespace {

constexpr UINT kRunFunction = WM_APP + 0x77;
constexpr UINT kPostedFunction = WM_APP + 0x78;
constexpr LPCWSTR kRunnerClass = L"LullwatchTestRunner";

LRESULT RunnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunFunction) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    if (message == kPostedFunction) {
        const std::unique_ptr<std::function<void()>> function(
            reinterpret_cast<std::function<void()>*>(lParam));
        (*function)();
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

} // namespace

ThreadRunner::ThreadRunner() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASS wc{};
        wc.lpfnWndProc = RunnerProc;
        wc.lpszClassName = kRunnerClass;
        RegisterClass(&wc);
    });
    hwnd_ = CreateWindowEx(0, kRunnerClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

ThreadRunner::~ThreadRunner() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

void ThreadRunner::Run(const std::function<void()>& function) const {
    SendMessage(hwnd_, kRunFunction, 0, reinterpret_cast<LPARAM>(&function));
}

void ThreadRunner::Post(std::function<void()> function) const {
    auto* queued = new std::function<void()>(std::move(function));
    if (!PostMessage(hwnd_, kPostedFunction, 0, reinterpret_cast<LPARAM>(queued))) {
        delete queued;
        ADD_FAILURE() << "cannot post to the window thread";
    }
}

} // namespace lwapp
