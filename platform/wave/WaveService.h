// The sound device as a whole: the configured source, the simulated room, the fault plan, the output
// volume, the failure hook and the one input device that may be open. The wave API functions
// (WaveApi.h) and the automation command "sound" work through it. The host configures it once from
// the device profile (Configure) before the program starts, and calls Shutdown after the program has
// ended. Thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/wave/CaptureSource.h"
#include "platform/wave/FaultPlan.h"
#include "platform/wave/OutputVolume.h"
#include "platform/wave/SimulatedRoom.h"
#include "platform/wave/WaveConfig.h"
#include "platform/wave/WaveInDevice.h"

namespace platform::wave {

// Applies `config` and registers the automation command "sound". Loads the recording of source
// recording now, so that a missing file is a start-up error. Fails (false, `error`) while an input
// device is open or when the recording cannot be read; nothing changes then.
bool Configure(const WaveConfig& config, std::string* error);

// Resets and closes an input device that the program left open, then waits for the callback threads
// of closed devices to deliver their last messages and end. Call when the program has ended (no
// callback can then be waiting for the calling thread).
void Shutdown();

class WaveService {
public:
    static WaveService& Instance();

    bool Configure(const WaveConfig& config, std::string* error);

    // The input device. Open creates it with the configured source; the others find it by handle.
    MMRESULT Open(WAVEINPROC proc, DWORD_PTR instance, HWAVEIN* handle);
    std::shared_ptr<WaveInDevice> Find(HWAVEIN handle) const;
    MMRESULT Close(HWAVEIN handle);
    void CloseLeftOpen();

    FaultPlan& Faults() { return faults_; }
    std::shared_ptr<OutputVolume> Volume() const;
    void SetErrorHook(ErrorHook hook);
    ErrorHook GetErrorHook() const;

    // A source of the configured kind for something other than the input device (the sound a call
    // sends): the same microphone, recording or generator, opened anew and owned by the caller. Null
    // with `detail` when the microphone cannot be opened.
    std::unique_ptr<CaptureSource> OpenSource(std::string* detail) const;

    // The simulated room, or null when the source is ALSA.
    std::shared_ptr<SimulatedRoom> Room() const;
    std::uint64_t NoiseSeed() const;

    // What the source produces ("tone 440 64; excursion 40", "alsa \"default\"") and the device's state.
    std::string DescribeSource() const;
    std::string DescribeDevice() const;
    DeviceState State() const; // all false and 0 when no device is open

private:
    WaveService();

    mutable std::mutex mutex_;
    WaveConfig config_;
    std::shared_ptr<SimulatedRoom> room_;
    std::shared_ptr<OutputVolume> volume_;
    ErrorHook errorHook_;
    HWAVEIN openHandle_ = nullptr;
    std::shared_ptr<WaveInDevice> open_;
    std::uintptr_t nextHandle_ = 0x5A000;
    FaultPlan faults_;
};

} // namespace platform::wave
