// The settings store: keeps MonitorSettings between runs in five small files in the folder "Lullwatch"
// under the application-data folder.
//
// Each operation opens its file, reads or writes it and closes it at once; all of them run on the window
// thread. A file that cannot be opened is skipped without a message and a default stands in for its value.
// A file that opened but could not be read leaves the value as it was; a write that fails leaves the
// previous file as it was. Nothing here shows a message.
//
// Tuning values that a hand-edited file puts outside their ranges are brought into range at load:
// averagingPeriod into 1..40 and sensitivityFactor into 1..20 (so an empty file gives 1); a noise length
// outside 0..250 becomes 0. A phone number longer than 30 characters is stored as its first 30.
#pragma once

#include "platform/win/WinTypes.h"
#include "settings/MonitorSettings.h"

#include <string>

// Creates the settings folder (one level, under the application-data folder); an existing folder is fine.
void EnsureDataFolder();

// Reads the averaging period, sensitivity factor and noise length from their files.
void LoadTuningValues(MonitorSettings& settings);
// Writes the three tuning values, creating the settings folder first.
void SaveTuningValues(const MonitorSettings& settings);

// The stored alarm step, 1..5 (1 when none is stored).
BYTE LoadAlarmStep();
// Stores the alarm step as one byte. Expects the settings folder to exist.
void SaveAlarmStep(BYTE step);

// Replaces `number` with the stored phone number; leaves it unchanged when there is no file.
void LoadPhoneNumber(std::wstring& number);
void LoadPhoneNumber(SharedText& number);
// Stores a non-empty phone number. Expects the settings folder to exist.
void SavePhoneNumber(const std::wstring& number);
