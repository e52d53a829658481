// Real SIP calls on loopback, to baresip answering at once:
//   CallSetup/connected     lineMakeCall until the call is connected (target: under 50 ms)
//   CallSetup/first_rtp     lineMakeCall until the first sound packet has gone out (target: under 50 ms)
//   SixtySecondCall         one call kept up for 60 s (LULLWATCH_CALL_SECONDS changes it): the process's
//                           CPU time per second of call, and its resident memory before and during it
//
//   build/release/bench/sip/sip_call_bench [--benchmark_filter=CallSetup]
#include "platform/tapi/InstalledService.h"
#include "platform/tapi/Tapi.h"
#include "platform/tapi/sip/SipConfig.h"
#include "platform/tapi/sip/SipLineService.h"
#include "platform/wave/WaveService.h"
#include "tests/sippeer/BaresipPeer.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using platform::tapi::sipline::SipLineService;

std::mutex g_mutex;
std::condition_variable g_changed;
HCALL g_connected = 0;

void Callback(DWORD device, DWORD message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR, DWORD_PTR) {
    if (message == LINE_CALLSTATE && param1 == LINECALLSTATE_CONNECTED) {
        {
            std::lock_guard lock(g_mutex);
            g_connected = device;
        }
        g_changed.notify_all();
    }
}

// The far end, the service and an initialised line API, shared by every benchmark of the run.
struct Rig {
    sippeer::BaresipPeer peer;
    std::shared_ptr<SipLineService> service;
    HLINEAPP app = 0;
    std::string error;

    Rig() {
        sippeer::BaresipOptions options;
        options.toneSeconds = 90; // longer than the long call; the far end hangs up when it has played it
        if (!peer.Start(options) || !peer.WaitReady(sippeer::Within(std::chrono::seconds(20)))) {
            error = "baresip: " + peer.Describe();
            return;
        }
        platform::wave::WaveConfig sound;
        if (!platform::wave::ParseWaveConfig({{"generator", "tone 600 100"}}, "", &sound, &error) ||
            !platform::wave::Configure(sound, &error)) {
            return;
        }
        platform::tapi::sipline::SipConfig config;
        if (!platform::tapi::sipline::ParseSipConfig(
                {{"user", "bench"},
                 {"domain", "127.0.0.1"},
                 {"local", "127.0.0.1"},
                 {"dial", "sip:{number}@127.0.0.1:" + std::to_string(peer.SipPort())}},
                "", "", &config, &error)) {
            return;
        }
        service = SipLineService::Start(config, &error);
        if (!service) {
            return;
        }
        platform::tapi::InstallService(service);
        DWORD count = 0;
        if (lineInitialize(&app, nullptr, Callback, L"bench", &count) != 0) {
            error = "lineInitialize failed";
        }
    }
    ~Rig() {
        lineShutdown(app);
        platform::tapi::InstallService(nullptr);
        service.reset();
        platform::wave::Shutdown();
    }

    // Places a call; returns the line and call, or 0s when it did not connect.
    std::pair<HLINE, HCALL> Place(Clock::time_point* connectedAt) {
        HLINE line = 0;
        HCALL call = 0;
        if (lineOpen(app, 0, &line, 0x00020000, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr) != 0) {
            return {0, 0};
        }
        if (lineMakeCall(line, &call, L"callee", 0, nullptr) <= 0) {
            lineClose(line);
            return {0, 0};
        }
        std::unique_lock lock(g_mutex);
        if (!g_changed.wait_for(lock, std::chrono::seconds(10), [&] { return g_connected == call; })) {
            lock.unlock();
            Release(line, call);
            return {0, 0};
        }
        *connectedAt = Clock::now();
        return {line, call};
    }

    static void Release(HLINE line, HCALL call) {
        lineDrop(call, nullptr, 0);
        lineDeallocateCall(call);
        lineClose(line);
    }
};

Rig& TheRig() {
    static Rig rig;
    return rig;
}

void CallSetup(benchmark::State& state, bool toFirstPacket) {
    Rig& rig = TheRig();
    if (!rig.error.empty()) {
        state.SkipWithError(rig.error.c_str());
        return;
    }
    for (auto _ : state) {
        const auto start = Clock::now();
        Clock::time_point connected;
        const auto [line, call] = rig.Place(&connected);
        if (call == 0) {
            state.SkipWithError("the call did not connect");
            return;
        }
        auto end = connected;
        if (toFirstPacket) {
            while (rig.service->Measure().packetsSent == 0 &&
                   Clock::now() - start < std::chrono::seconds(5)) {
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
            end = Clock::now();
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        Rig::Release(line, call);
        // Let the far end finish with the call before the next one.
        rig.peer.WaitForEvent("CALL_CLOSED", sippeer::Within(std::chrono::seconds(5)));
    }
}

long ResidentKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == field) {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return 0;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void SixtySecondCall(benchmark::State& state) {
    Rig& rig = TheRig();
    if (!rig.error.empty()) {
        state.SkipWithError(rig.error.c_str());
        return;
    }
    const char* configured = std::getenv("LULLWATCH_CALL_SECONDS");
    const int seconds = configured != nullptr ? std::atoi(configured) : 60;
    for (auto _ : state) {
        const long before = ResidentKb("VmRSS:");
        const double cpuBefore = CpuSeconds();
        Clock::time_point connected;
        const auto [line, call] = rig.Place(&connected);
        if (call == 0) {
            state.SkipWithError("the call did not connect");
            return;
        }
        long peak = 0;
        for (int s = 0; s < seconds; ++s) {
            std::this_thread::sleep_for(std::chrono::seconds(1)); // the call runs; sample once a second
            peak = std::max(peak, ResidentKb("VmRSS:"));
        }
        const double cpu = CpuSeconds() - cpuBefore;
        const auto figures = rig.service->Measure();
        Rig::Release(line, call);
        state.counters["cpu_percent"] = 100.0 * cpu / seconds;
        state.counters["rss_before_kb"] = static_cast<double>(before);
        state.counters["rss_peak_kb"] = static_cast<double>(peak);
        state.counters["packets_sent"] = static_cast<double>(figures.packetsSent);
        state.counters["packets_received"] = static_cast<double>(figures.packetsReceived);
    }
}

BENCHMARK_CAPTURE(CallSetup, connected, false)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);
BENCHMARK_CAPTURE(CallSetup, first_rtp, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(SixtySecondCall)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
