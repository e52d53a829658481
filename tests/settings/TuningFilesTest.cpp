// The three tuning files: their exact bytes, and how hand-edited contents load.
#include "DataRootTest.h"

#include "settings/SettingsStore.h"

#include <string_view>

namespace {

using namespace std::string_view_literals;

class TuningFilesTest : public DataRootTest {};

struct SavedFiles {
    std::int32_t averaging, sensitivity, noise;
    const char *averagingBytes, *sensitivityBytes, *noiseBytes;
};

const SavedFiles kSaved[] = {
    {40, 20, 250, "40", "20", "250"},
    {8, 1, 0, "8", "1", "0"},
    {1, 13, 125, "1", "13", "125"},
    {-7, 1, 5, "-7", "1", "5"},
};

TEST_F(TuningFilesTest, SaveWritesTheDigitsAndNothingElse) {
    for (const auto& row : kSaved) {
        MonitorSettings settings;
        settings.averagingPeriod = row.averaging;
        settings.sensitivityFactor = row.sensitivity;
        settings.noiseLength = row.noise;
        SaveTuningValues(settings);
        EXPECT_EQ(ReadFile("LullwatchAverage.txt"), row.averagingBytes);
        EXPECT_EQ(ReadFile("LullwatchSensityvity.txt"), row.sensitivityBytes);
        EXPECT_EQ(ReadFile("LullwatchDiapason.txt"), row.noiseBytes);
    }
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"LullwatchAverage.txt", "LullwatchDiapason.txt",
                                                         "LullwatchSensityvity.txt"}));
}

enum class Field { Averaging, Sensitivity, Noise };

struct LoadCase {
    Field field;
    std::string_view bytes;
    std::int32_t expected;
};

const LoadCase kLoads[] = {
    {Field::Averaging, " 7", 7},
    {Field::Averaging, "12\r\n", 12},
    {Field::Averaging, "12\n", 12},
    {Field::Averaging, "\t\v 9x", 9},
    {Field::Averaging, "+5", 5},
    {Field::Averaging,
     "3\0"
     "5"sv,
     3},
    {Field::Averaging, "", 1}, // no digits: 0, brought up to 1
    {Field::Averaging, "abc", 1},
    {Field::Averaging, "- 4", 1},
    {Field::Averaging, "0", 1},
    {Field::Averaging, "-3", 1},
    {Field::Averaging, "40", 40},
    {Field::Averaging, "41", 40},
    {Field::Averaging, "99999999999", 40}, // beyond 32 bits
    {Field::Sensitivity, "", 1},
    {Field::Sensitivity, "0", 1},
    {Field::Sensitivity, "20", 20},
    {Field::Sensitivity, "25", 20},
    {Field::Sensitivity, " 7", 7},
    {Field::Noise, "", 0},
    {Field::Noise, " 7", 7},
    {Field::Noise, "12\r\n", 12},
    {Field::Noise, "250", 250},
    {Field::Noise, "251", 0},
    {Field::Noise, "300", 0},
    {Field::Noise, "-5", 0},
    {Field::Noise, "-99999999999", 0},
};

TEST_F(TuningFilesTest, LoadParsesAndBringsValuesIntoRange) {
    for (const auto& row : kLoads) {
        const char* name = row.field == Field::Averaging     ? "LullwatchAverage.txt"
                           : row.field == Field::Sensitivity ? "LullwatchSensityvity.txt"
                                                             : "LullwatchDiapason.txt";
        WriteFile(name, row.bytes);
        MonitorSettings settings;
        LoadTuningValues(settings);
        const std::int32_t got = row.field == Field::Averaging     ? settings.averagingPeriod
                                 : row.field == Field::Sensitivity ? settings.sensitivityFactor
                                                                   : settings.noiseLength;
        EXPECT_EQ(got, row.expected) << name << " holding \"" << row.bytes << "\"";
        std::remove((Folder() + "/" + name).c_str());
    }
}

TEST_F(TuningFilesTest, MissingFilesGiveDefaultsAndCreateNothing) {
    MonitorSettings settings;
    settings.averagingPeriod = 9;
    settings.sensitivityFactor = 9;
    settings.noiseLength = 9;
    LoadTuningValues(settings);
    EXPECT_EQ(settings.averagingPeriod, 1);
    EXPECT_EQ(settings.sensitivityFactor, 1);
    EXPECT_EQ(settings.noiseLength, 0);
    EXPECT_FALSE(std::filesystem::exists(Folder()));
}

} // namespace
