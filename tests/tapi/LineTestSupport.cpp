#include "LineTestSupport.h"

#include <algorithm>

namespace lullwatch::test {

using platform::tapi::Journal;

Recorder& Recorder::Instance() {
    static Recorder recorder;
    return recorder;
}

void Recorder::Callback(DWORD device, DWORD message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2,
                        DWORD_PTR param3) {
    auto& r = Instance();
    const Received received{device,
                            message,
                            instance,
                            param1,
                            param2,
                            param3,
                            platform::Clock::NowMs(),
                            std::this_thread::get_id()};
    std::function<void(const Received&)> hook;
    {
        std::lock_guard lock(r.mutex_);
        r.messages_.push_back(received);
        hook = r.hook_;
    }
    r.changed_.notify_all();
    if (hook) {
        hook(received);
    }
}

void Recorder::Reset() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    hook_ = nullptr;
}

std::vector<Received> Recorder::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::size_t Recorder::Count() const {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

void Recorder::SetHook(std::function<void(const Received&)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

std::optional<Received> Recorder::WaitFor(const std::function<bool(const Received&)>& match, std::size_t from,
                                          std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    std::optional<Received> found;
    changed_.wait_for(lock, timeout, [&] {
        for (std::size_t i = from; i < messages_.size(); ++i) {
            if (match(messages_[i])) {
                found = messages_[i];
                return true;
            }
        }
        return false;
    });
    return found;
}

std::optional<Received> Recorder::WaitForMessage(DWORD message, std::size_t from) const {
    return WaitFor([message](const Received& r) { return r.message == message; }, from);
}

std::optional<Received> Recorder::WaitForCallState(DWORD state, std::size_t from) const {
    return WaitFor([state](const Received& r) { return r.message == LINE_CALLSTATE && r.param1 == state; },
                   from);
}

std::optional<LONG> Recorder::WaitForReply(LONG request) const {
    const auto reply = WaitFor([request](const Received& r) {
        return r.message == LINE_REPLY && r.param1 == static_cast<DWORD_PTR>(request);
    });
    if (!reply) {
        return std::nullopt;
    }
    return static_cast<LONG>(reply->param2);
}

bool Recorder::WaitForStateOf(HCALL call, DWORD state, std::optional<DWORD> mode) const {
    return WaitFor([&](const Received& r) {
               return r.message == LINE_CALLSTATE && r.device == call && r.param1 == state &&
                      (!mode || r.param2 == *mode);
           })
        .has_value();
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::shared_ptr<platform::tapi::SimulatedLineService>
MakeSimulatedLine(const std::map<std::string, std::string>& keys) {
    platform::tapi::SimulatedLineConfig config;
    std::string error;
    EXPECT_TRUE(platform::tapi::ParseSimulatedLineConfig(keys, &config, &error)) << error;
    return std::make_shared<platform::tapi::SimulatedLineService>(config);
}

void LineTest::SetUp() {
    Install({});
}

void LineTest::TearDown() {
    Recorder::Instance().SetHook(nullptr);
    for (HLINEAPP app : apps_) {
        lineShutdown(app); // already shut down by the test: harmless
    }
    apps_.clear();
    platform::tapi::InstallService(nullptr);
    line_.reset();
    platform::Clock::SetFactor(1.0);
}

void LineTest::Install(const std::map<std::string, std::string>& keys) {
    platform::Clock::SetFactor(1.0);
    Recorder::Instance().Reset();
    line_ = MakeSimulatedLine(keys);
    platform::tapi::InstallService(line_);
    journalStart_ = Journal().NextSeq();
}

HLINEAPP LineTest::Initialize(DWORD* numDevs) {
    HLINEAPP app = 0;
    DWORD count = 0;
    EXPECT_EQ(lineInitialize(&app, nullptr, &Recorder::Callback, L"Lullwatch", &count), 0);
    EXPECT_NE(app, 0u);
    if (numDevs != nullptr) {
        *numDevs = count;
    }
    apps_.push_back(app);
    return app;
}

void LineTest::Shutdown(HLINEAPP app) {
    EXPECT_EQ(lineShutdown(app), 0);
}

HLINE LineTest::Open(HLINEAPP app, DWORD device, DWORD_PTR instance) {
    DWORD version = 0;
    EXPECT_EQ(lineNegotiateAPIVersion(app, device, 0x00010003, 0x00020000, &version, nullptr), 0);
    HLINE line = 0;
    EXPECT_EQ(lineOpen(app, device, &line, version, 0, instance, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
    EXPECT_NE(line, 0u);
    return line;
}

std::vector<std::string> JournalFunctions(std::uint64_t from, const std::vector<std::string>& only) {
    std::vector<std::string> names;
    for (const auto& entry : Journal().Entries(from)) {
        if (only.empty() || std::find(only.begin(), only.end(), entry.function) != only.end()) {
            names.push_back(entry.function);
        }
    }
    return names;
}

} // namespace lullwatch::test
