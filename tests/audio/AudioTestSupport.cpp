#include "AudioTestSupport.h"

#include <algorithm>

#include "AlarmCallStandIn.h"
#include "app/MonitorSession.h"
#include "audio/CaptureRecord.h"
#include "audio/SoundCapture.h"
#include "audio/SoundLevelDetector.h"
#include "platform/controls/ControlClasses.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/status/Indicators.h"
#include "platform/wave/SoundScene.h"
#include "platform/win/Clock.h"
#include "platform/win/WinApi.h"
#include "settings/MonitorSettings.h"

namespace audiotest {
namespace {

constexpr UINT kRunTask = WM_APP + 1;
constexpr UINT kQuit = WM_APP + 2;
constexpr wchar_t kWindowClass[] = L"AudioTestWindow";
constexpr int kMeterId = 1002;

} // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void Gate::Arrive() {
    std::unique_lock lock(mutex_);
    arrived_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
}

bool Gate::WaitForArrival() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kDeadline, [this] { return arrived_; });
}

bool Gate::Arrived() {
    std::lock_guard lock(mutex_);
    return arrived_;
}

void Gate::Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
}

std::vector<TestMeter::SetPos> TestMeter::Log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

std::size_t TestMeter::Count() const {
    std::lock_guard lock(mutex_);
    return log_.size();
}

LRESULT TestMeter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PBM_SETPOS) {
        if (onSetPos) {
            onSetPos(static_cast<int>(wParam));
        }
        if (const int delay = delayMicroseconds.load(); delay > 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
        }
        if (const auto gate = std::exchange(holdNext, nullptr)) {
            gate->Arrive();
        }
        std::lock_guard lock(mutex_);
        log_.push_back(SetPos{static_cast<int>(wParam), GetCurrentThreadId()});
    }
    return CProgressCtrl::WindowProc(message, wParam, lParam);
}

MeterWindow::MeterWindow() {
    std::promise<void> ready;
    auto up = ready.get_future();
    thread_ = std::thread([this, &ready] {
        platform::controls::RegisterControlClasses();
        WNDCLASS wc{};
        wc.lpfnWndProc = &MeterWindow::WindowProc;
        wc.lpszClassName = kWindowClass;
        RegisterClass(&wc); // fails harmlessly when an earlier test registered it
        window_ = CreateWindowEx(0, kWindowClass, L"Meter", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr,
                                 nullptr, nullptr, nullptr);
        const HWND meter = CreateWindowEx(
            0, platform::controls::kProgressClass, L"", WS_CHILD | WS_VISIBLE | PBS_VERTICAL, 10, 10, 22, 230,
            window_, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(kMeterId)), nullptr, nullptr);
        meter_.SubclassWindow(meter);
        meter_.SetRange(0, 5);
        main_.Attach(window_);
        threadId_ = GetCurrentThreadId();
        ready.set_value();
        MSG msg{};
        while (GetMessage(&msg, nullptr, 0, 0) > 0) {
            DispatchMessage(&msg);
        }
        meter_.UnsubclassWindow();
        main_.Detach();
        DestroyWindow(window_);
    });
    up.wait();
    g_session.mainDialog.store(&main_, std::memory_order_release);
    g_session.levelMeter.store(&meter_, std::memory_order_release);
}

MeterWindow::~MeterWindow() {
    g_session.levelMeter.store(nullptr, std::memory_order_release);
    g_session.mainDialog.store(nullptr, std::memory_order_release);
    PostMessage(window_, kQuit, 0, 0);
    thread_.join();
}

LRESULT CALLBACK MeterWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunTask) {
        std::unique_ptr<std::packaged_task<void()>> task(
            reinterpret_cast<std::packaged_task<void()>*>(lParam));
        (*task)();
        return 0;
    }
    if (message == kQuit) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

std::future<void> MeterWindow::Post(std::function<void()> task) {
    auto packaged = std::make_unique<std::packaged_task<void()>>(std::move(task));
    auto done = packaged->get_future();
    if (PostMessage(window_, kRunTask, 0, reinterpret_cast<LPARAM>(packaged.get()))) {
        packaged.release();
    }
    return done;
}

void MeterWindow::Run(std::function<void()> task) {
    auto done = Post(std::move(task));
    EXPECT_EQ(done.wait_for(kDeadline), std::future_status::ready);
}

bool MeterWindow::WaitForCount(std::size_t count) {
    return WaitUntil([&] { return meter_.Count() >= count; });
}

bool MeterWindow::WaitForPosition(int position, std::size_t from) {
    return WaitUntil([&] {
        const auto log = meter_.Log();
        for (std::size_t i = from; i < log.size(); ++i) {
            if (log[i].position == position) {
                return true;
            }
        }
        return false;
    });
}

MicrophoneLog::MicrophoneLog() {
    listener_ = platform::status::AddListener([log = log_](const platform::status::Raised& now) {
        if (now.which == platform::status::Indicator::Microphone) {
            std::lock_guard lock(log->mutex);
            log->changes.push_back(now.text.empty() ? "" : now.detail);
        }
    });
}

MicrophoneLog::~MicrophoneLog() {
    platform::status::RemoveListener(listener_);
}

std::vector<std::string> MicrophoneLog::Changes() const {
    std::lock_guard lock(log_->mutex);
    return log_->changes;
}

bool MicrophoneLog::WaitForRaisedThenCleared(const std::string& detail) {
    return WaitUntil([&] {
        const auto changes = Changes();
        const auto raised = std::find_if(changes.begin(), changes.end(),
                                         [&](const std::string& c) { return c.rfind(detail, 0) == 0; });
        return raised != changes.end() && std::find(raised, changes.end(), "") != changes.end();
    });
}

std::size_t MicrophoneLog::Clears() const {
    const auto changes = Changes();
    return static_cast<std::size_t>(std::count(changes.begin(), changes.end(), ""));
}

std::optional<Box> CurrentBox() {
    const HWND hwnd = platform::controls::TopmostMessageBox();
    if (hwnd == nullptr) {
        return std::nullopt;
    }
    const auto info = platform::controls::ReadMessageBox(hwnd);
    if (!info) {
        return std::nullopt;
    }
    return Box{hwnd, info->caption, info->text, info->type, info->threadId};
}

std::optional<Box> WaitForBox() {
    std::optional<Box> box;
    WaitUntil([&] {
        box = CurrentBox();
        return box.has_value();
    });
    return box;
}

void Answer(const Box& box) {
    EXPECT_TRUE(platform::controls::PressMessageBoxButton(box.hwnd, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !platform::controls::IsMessageBox(box.hwnd); }));
}

DWORD ExpectMicrophoneError(const std::wstring& text) {
    const auto box = WaitForBox();
    EXPECT_TRUE(box.has_value()) << "no message box";
    if (!box) {
        return 0;
    }
    EXPECT_EQ(box->caption, L"Microphone error");
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->type, MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
    Answer(*box);
    return box->threadId;
}

void Hear(const std::string& generatorWords) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : generatorWords + " ") {
        if (c == ' ') {
            if (!word.empty()) {
                words.push_back(word);
            }
            word.clear();
        } else {
            word += c;
        }
    }
    platform::wave::SoundScene scene;
    std::string error;
    ASSERT_TRUE(platform::wave::ParseGenerator(words, &scene, &error)) << error;
    platform::wave::WaveService::Instance().Room()->Switch(scene);
}

platform::wave::DeviceState Device() {
    return platform::wave::WaveService::Instance().State();
}

void FailNext(platform::wave::WaveCall call, MMRESULT code) {
    platform::wave::WaveService::Instance().Faults().Set(platform::wave::FaultRule{call, code, 1});
}

void FailAlways(platform::wave::WaveCall call, MMRESULT code) {
    platform::wave::WaveService::Instance().Faults().Set(platform::wave::FaultRule{call, code, 0});
}

void CaptureFixture::SetUp() {
    platform::Clock::SetFactor(kClockFactor);
    std::string error;
    ASSERT_TRUE(platform::wave::Configure(platform::wave::WaveConfig{}, &error)) << error;
    g_settings.averagingPeriod = kDefaultAveragingPeriod;
    g_settings.sensitivityFactor = kDefaultSensitivityFactor;
    g_settings.noiseLength = kDefaultNoiseLength;
    g_settings.alarmStep = kDefaultAlarmStep;
    g_settings.phoneNumber.Set(L"5550100");
    g_session.alarmArmed.store(false);
    AlarmCalls::Get().Reset();
    window = std::make_unique<MeterWindow>();
}

void CaptureFixture::TearDown() {
    g_session.alarmArmed.store(false);
    AlarmCalls::Get().ReleaseAll();
    platform::wave::WaveService::Instance().Faults().ClearAll();
    while (const auto box = CurrentBox()) {
        ADD_FAILURE() << "a message box was left up";
        Answer(*box);
    }
    StopCapture();
    EXPECT_FALSE(CurrentBox().has_value()) << "stopping capture showed a message box";
    // An alarm thread still on its way reads the settings and the session: let it end first.
    if (g_alarmThread != nullptr) {
        EXPECT_EQ(WaitForSingleObject(g_alarmThread->m_hThread, INFINITE), WAIT_OBJECT_0);
    }
    platform::wave::Shutdown();
    window.reset();
    // The next test starts as the program does.
    g_capture.captureStopping.store(false);
}

std::future<void> CaptureFixture::BeginStartOnWindowThread() {
    return window->Post([] { StartCapture(); });
}

void CaptureFixture::StartOnWindowThread() {
    auto started = BeginStartOnWindowThread();
    ASSERT_EQ(started.wait_for(kDeadline), std::future_status::ready);
}

} // namespace audiotest
