// The settings record: the three tuning values that shape capture and the level measurement, the alarm
// step and the phone number that the alarm dials. One instance, g_settings, lives for the whole run; the
// settings store (SettingsStore.h) keeps it between runs.
//
// Threads: the window thread writes every field. The capture callback reads sensitivityFactor and
// noiseLength for every buffer, and alarmStep and phoneNumber when it starts an alarm; each number is one
// atomic store and one atomic load. alarmStep and phoneNumber are written only while the alarm is
// disarmed and read only while it is armed, so the arming flag (stored with release, loaded with acquire)
// orders them as well.
#pragma once

#include "settings/SharedText.h"

#include <atomic>
#include <cstdint>

struct MonitorSettings {
    // Length of one measured stretch of sound, in eighths of a second: the capture buffer holds
    // averagingPeriod x 1000 samples.
    std::atomic<std::int32_t> averagingPeriod{1};
    // The divisor that scales the mean excursion of the samples down to a sound level.
    std::atomic<std::int32_t> sensitivityFactor{1};
    // Noise gate in milliseconds: a buffer with no more than noiseLength x 8 loud samples has level 0.
    std::atomic<std::int32_t> noiseLength{0};
    // The sound level at or above which the alarm fires.
    std::atomic<std::uint8_t> alarmStep{1};
    // The number the alarm call dials.
    SharedText phoneNumber;
};

// Valid ranges and defaults.
constexpr std::int32_t kMinAveragingPeriod = 1;
constexpr std::int32_t kMaxAveragingPeriod = 40;
constexpr std::int32_t kDefaultAveragingPeriod = 1;
constexpr std::int32_t kMinSensitivityFactor = 1;
constexpr std::int32_t kMaxSensitivityFactor = 20;
constexpr std::int32_t kDefaultSensitivityFactor = 1;
constexpr std::int32_t kMinNoiseLength = 0;
constexpr std::int32_t kMaxNoiseLength = 250;
constexpr std::int32_t kDefaultNoiseLength = 0;
constexpr std::uint8_t kMinAlarmStep = 1;
constexpr std::uint8_t kMaxAlarmStep = 5;
constexpr std::uint8_t kDefaultAlarmStep = 1;
// The most characters of a phone number that the store keeps between runs.
constexpr int kMaxStoredPhoneNumberLength = 30;

extern MonitorSettings g_settings;
