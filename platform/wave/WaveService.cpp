#include "platform/wave/WaveService.h"

#include <cstdio>

#include "platform/wave/AlsaCapture.h"
#include "platform/wave/AlsaMixerVolume.h"
#include "platform/wave/MemoryVolume.h"
#include "platform/wave/SimulatedCapture.h"
#include "platform/wave/SoundCommand.h"

namespace platform::wave {

bool Configure(const WaveConfig& config, std::string* error) {
    if (!WaveService::Instance().Configure(config, error)) {
        return false;
    }
    RegisterSoundCommand();
    return true;
}

void Shutdown() {
    WaveService::Instance().CloseLeftOpen();
    CallbackThread::JoinRetired(true);
}

WaveService& WaveService::Instance() {
    static WaveService service;
    return service;
}

WaveService::WaveService()
    : room_(std::make_shared<SimulatedRoom>()), volume_(std::make_shared<MemoryVolume>(0xFFFFFFFF)) {
    // Makes the list of retired callback threads before this object, so that it outlives this object
    // at exit: a device still open then is closed by the destructor and retires its thread there.
    CallbackThread::JoinRetired(false);
}

bool WaveService::Configure(const WaveConfig& config, std::string* error) {
    auto room = std::make_shared<SimulatedRoom>();
    SoundScene first = config.generator;
    first.seed = config.noiseSeed;
    if (config.source == WaveConfig::Source::Recording) {
        auto recording = std::make_shared<Recording>();
        if (!LoadRecording(config.recordingPath, recording.get(), error)) {
            return false;
        }
        first = SoundScene{};
        first.kind = SoundScene::Kind::Playback;
        first.recording = std::move(recording);
        first.loop = config.loop;
    }
    room->Switch(first);
    std::shared_ptr<OutputVolume> volume;
    if (config.volume == WaveConfig::Volume::Alsa) {
        volume = std::make_shared<AlsaMixerVolume>(config.mixerCard, config.mixerControl);
    } else {
        volume = std::make_shared<MemoryVolume>(config.volumeInitial);
    }
    {
        std::lock_guard lock(mutex_);
        if (open_) {
            *error = "sound: the input device is open; close it before changing the configuration";
            return false;
        }
        config_ = config;
        room_ = config.source == WaveConfig::Source::Alsa ? nullptr : std::move(room);
        volume_ = std::move(volume);
    }
    faults_.ClearAll();
    for (const FaultRule& rule : config.faults) {
        faults_.Set(rule);
    }
    return true;
}

MMRESULT WaveService::Open(WAVEINPROC proc, DWORD_PTR instance, HWAVEIN* handle) {
    CallbackThread::JoinRetired(false);
    std::lock_guard lock(mutex_);
    if (open_) {
        return MMSYSERR_ALLOCATED;
    }
    std::unique_ptr<CaptureSource> source;
    if (config_.source == WaveConfig::Source::Alsa) {
        MMRESULT rc = MMSYSERR_NOERROR;
        std::string detail;
        source = AlsaCapture::Open(config_.alsaDevice, &rc, &detail);
        if (!source) {
            std::fprintf(stderr, "lullwatch: %s\n", detail.c_str());
            return rc;
        }
    } else {
        source = std::make_unique<SimulatedCapture>(room_);
    }
    nextHandle_ += 0x10; // never reused: a late call on a closed device's handle finds nothing
    openHandle_ = reinterpret_cast<HWAVEIN>(nextHandle_);
    open_ = std::make_shared<WaveInDevice>(
        openHandle_, std::move(source), proc, instance, [this] { return GetErrorHook(); },
        [this] { return faults_.Take(WaveCall::Device); });
    open_->Begin();
    *handle = openHandle_;
    return MMSYSERR_NOERROR;
}

std::unique_ptr<CaptureSource> WaveService::OpenSource(std::string* detail) const {
    std::lock_guard lock(mutex_);
    if (config_.source == WaveConfig::Source::Alsa) {
        MMRESULT rc = MMSYSERR_NOERROR;
        return AlsaCapture::Open(config_.alsaDevice, &rc, detail);
    }
    return std::make_unique<SimulatedCapture>(room_);
}

std::shared_ptr<WaveInDevice> WaveService::Find(HWAVEIN handle) const {
    std::lock_guard lock(mutex_);
    return handle != nullptr && handle == openHandle_ ? open_ : nullptr;
}

MMRESULT WaveService::Close(HWAVEIN handle) {
    const auto device = Find(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    const MMRESULT rc = device->Close();
    if (rc == MMSYSERR_NOERROR) {
        std::lock_guard lock(mutex_);
        if (openHandle_ == handle) {
            openHandle_ = nullptr;
            open_.reset();
        }
    }
    return rc;
}

void WaveService::CloseLeftOpen() {
    const HWAVEIN handle = [this] {
        std::lock_guard lock(mutex_);
        return openHandle_;
    }();
    if (const auto device = Find(handle)) {
        // A callback still running may hand a buffer back once after the reset; the close then refuses
        // (buffers queued) and one more reset returns it.
        for (int attempt = 0; attempt < 3; ++attempt) {
            device->Reset();
            if (Close(handle) != WAVERR_STILLPLAYING) {
                break;
            }
        }
    }
}

std::shared_ptr<OutputVolume> WaveService::Volume() const {
    std::lock_guard lock(mutex_);
    return volume_;
}

void WaveService::SetErrorHook(ErrorHook hook) {
    std::lock_guard lock(mutex_);
    errorHook_ = hook;
}

ErrorHook WaveService::GetErrorHook() const {
    std::lock_guard lock(mutex_);
    return errorHook_;
}

std::shared_ptr<SimulatedRoom> WaveService::Room() const {
    std::lock_guard lock(mutex_);
    return room_;
}

std::uint64_t WaveService::NoiseSeed() const {
    std::lock_guard lock(mutex_);
    return config_.noiseSeed;
}

std::string WaveService::DescribeSource() const {
    std::lock_guard lock(mutex_);
    if (room_) {
        return room_->Describe();
    }
    return "alsa \"" + config_.alsaDevice + "\" (the real microphone)";
}

DeviceState WaveService::State() const {
    std::lock_guard lock(mutex_);
    return open_ ? open_->State() : DeviceState{};
}

std::string WaveService::DescribeDevice() const {
    std::lock_guard lock(mutex_);
    return open_ ? "open, " + open_->Describe() : "closed";
}

} // namespace platform::wave
