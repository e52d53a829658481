// Helpers for the line API tests: a callback that records every message with the thread and device time
// it arrived on (and can run a hook inside the callback), and a fixture that installs a simulated line
// configured from profile keys and shuts down whatever the test initialised.
#pragma once

#include "platform/tapi/CallJournal.h"
#include "platform/tapi/InstalledService.h"
#include "platform/tapi/Tapi.h"
#include "platform/tapi/simulated/SimulatedLineService.h"
#include "platform/win/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace lullwatch::test {

using namespace std::chrono_literals;

// Generous: only reached when something is broken (sanitizer builds are slow).
constexpr auto kDeadline = 10s;

struct Received {
    DWORD device;
    DWORD message;
    DWORD_PTR instance;
    DWORD_PTR param1;
    DWORD_PTR param2;
    DWORD_PTR param3;
    std::uint64_t atMs;
    std::thread::id thread;
};

class Recorder {
public:
    static Recorder& Instance();
    static void Callback(DWORD device, DWORD message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2,
                         DWORD_PTR param3);

    void Reset();
    std::vector<Received> Messages() const;
    std::size_t Count() const;
    // Runs inside the callback, on the event thread, after the message has been recorded.
    void SetHook(std::function<void(const Received&)> hook);

    // Waits until a message from index `from` on satisfies `match`; returns it.
    std::optional<Received> WaitFor(const std::function<bool(const Received&)>& match, std::size_t from = 0,
                                    std::chrono::milliseconds timeout = kDeadline) const;
    std::optional<Received> WaitForMessage(DWORD message, std::size_t from = 0) const;
    std::optional<Received> WaitForCallState(DWORD state, std::size_t from = 0) const;
    // The result that LINE_REPLY gives for `request`, once it comes.
    std::optional<LONG> WaitForReply(LONG request) const;
    // Whether `call` reaches `state` (with disconnect mode `mode` when given).
    bool WaitForStateOf(HCALL call, DWORD state, std::optional<DWORD> mode = std::nullopt) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Received> messages_;
    std::function<void(const Received&)> hook_;
};

// Polls `condition` until it holds or `timeout` (real time) has passed.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kDeadline);

// Builds a simulated line from profile keys.
std::shared_ptr<platform::tapi::SimulatedLineService>
MakeSimulatedLine(const std::map<std::string, std::string>& keys);

class LineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Installs a simulated line configured by `keys` (and resets recorder, journal and clock factor).
    void Install(const std::map<std::string, std::string>& keys);

    // lineInitialize with the recording callback; expects success. Shut down in TearDown.
    HLINEAPP Initialize(DWORD* numDevs = nullptr);
    void Shutdown(HLINEAPP app);
    // Negotiates and opens `device` as the program does (privileges NONE, media 0).
    HLINE Open(HLINEAPP app, DWORD device = 0, DWORD_PTR instance = 0);

    std::shared_ptr<platform::tapi::SimulatedLineService> line_;
    std::vector<HLINEAPP> apps_;
    std::uint64_t journalStart_ = 1;
};

// The functions of the journal entries from `from` on, keeping only those named in `only` (all if empty).
std::vector<std::string> JournalFunctions(std::uint64_t from, const std::vector<std::string>& only = {});

} // namespace lullwatch::test
