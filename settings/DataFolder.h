// The settings folder "Lullwatch" under the device's application-data folder, and the names of the files
// in it.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>

inline constexpr LPCWSTR kAveragingPeriodFile = L"LullwatchAverage.txt";
inline constexpr LPCWSTR kSensitivityFactorFile = L"LullwatchSensityvity.txt";
inline constexpr LPCWSTR kNoiseLengthFile = L"LullwatchDiapason.txt";
inline constexpr LPCWSTR kAlarmStepFile = L"sound.txt";
inline constexpr LPCWSTR kPhoneNumberFile = L"phonenumber.txt";

// Sets `path` to the file `fileName` in the settings folder, or to the folder itself when `fileName` is
// null. FALSE when the device has no application-data folder.
BOOL GetDataFilePath(LPCWSTR fileName, std::wstring& path);
