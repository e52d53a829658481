// LoadTuningValues and SaveTuningValues: each value is decimal text in a file of its own.
#include "platform/afx/CFile.h"
#include "settings/DataFolder.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

// A tuning file holds a few bytes; a stray large file is read no further than this.
constexpr UINT kMaxTuningFileBytes = 4096;

// The value of decimal text: leading white space, an optional sign, then digits up to the first other
// character. No digits give 0; values beyond 32 bits stop at the nearest 32-bit value.
std::int32_t ParseDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = std::min(magnitude * 10 + (*text - '0'), kLimit);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int32_t FitAveragingPeriod(std::int32_t value) {
    return std::clamp(value, kMinAveragingPeriod, kMaxAveragingPeriod);
}

std::int32_t FitSensitivityFactor(std::int32_t value) {
    return std::clamp(value, kMinSensitivityFactor, kMaxSensitivityFactor);
}

std::int32_t FitNoiseLength(std::int32_t value) {
    return value < kMinNoiseLength || value > kMaxNoiseLength ? 0 : value;
}

// Reads one tuning file into `field`: its default when the file does not open, unchanged when it opened
// but could not be read, else the parsed value brought into range by `fit`.
void LoadTuningFile(LPCWSTR fileName, std::atomic<std::int32_t>& field, std::int32_t defaultValue,
                    std::int32_t (*fit)(std::int32_t)) {
    std::wstring path;
    CFile file;
    if (!GetDataFilePath(fileName, path) ||
        !file.Open(path.c_str(), CFile::modeRead | CFile::shareExclusive)) {
        field.store(defaultValue);
        return;
    }
    const auto length = static_cast<UINT>(std::min<ULONGLONG>(file.GetLength(), kMaxTuningFileBytes));
    std::vector<char> text(length + 1);
    const UINT got = file.Read(text.data(), length);
    text[got] = '\0';
    const BOOL failed = file.HadError();
    file.Close();
    if (!failed) {
        field.store(fit(ParseDecimal(text.data())));
    }
}

// Writes `value` as decimal text, replacing the file. A file that does not open is skipped; a write that
// fails leaves the previous file in place.
void SaveTuningFile(LPCWSTR fileName, std::int32_t value) {
    std::wstring path;
    CFile file;
    if (!GetDataFilePath(fileName, path) ||
        !file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive)) {
        return;
    }
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    file.Write(text, static_cast<UINT>(length));
    file.Close();
}

} // namespace

void LoadTuningValues(MonitorSettings& settings) {
    LoadTuningFile(kAveragingPeriodFile, settings.averagingPeriod, kDefaultAveragingPeriod,
                   FitAveragingPeriod);
    LoadTuningFile(kSensitivityFactorFile, settings.sensitivityFactor, kDefaultSensitivityFactor,
                   FitSensitivityFactor);
    LoadTuningFile(kNoiseLengthFile, settings.noiseLength, kDefaultNoiseLength, FitNoiseLength);
}

void SaveTuningValues(const MonitorSettings& settings) {
    EnsureDataFolder();
    SaveTuningFile(kAveragingPeriodFile, settings.averagingPeriod.load());
    SaveTuningFile(kSensitivityFactorFile, settings.sensitivityFactor.load());
    SaveTuningFile(kNoiseLengthFile, settings.noiseLength.load());
}
