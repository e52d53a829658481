// LoadPhoneNumber and SavePhoneNumber: the number as ANSI text, one byte per character, at most 30 bytes,
// with a NUL behind it when it has fewer than 29 characters.
#include "platform/afx/CFile.h"
#include "platform/fs/FileApi.h"
#include "settings/DataFolder.h"
#include "settings/SettingsStore.h"

#include <algorithm>

namespace {

// Below this many characters the stored number ends with a NUL.
constexpr int kTerminatedBelow = 29;

} // namespace

void LoadPhoneNumber(std::wstring& number) {
    std::wstring path;
    CFile file;
    if (!GetDataFilePath(kPhoneNumberFile, path) ||
        !file.Open(path.c_str(), CFile::modeRead | CFile::shareExclusive)) {
        return;
    }
    char bytes[kMaxStoredPhoneNumberLength];
    const UINT got = file.Read(bytes, sizeof bytes);
    const BOOL failed = file.HadError();
    file.Close();
    if (failed) {
        return;
    }
    const auto length = static_cast<int>(std::find(bytes, bytes + got, '\0') - bytes);
    WCHAR text[kMaxStoredPhoneNumberLength];
    const int converted =
        length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, bytes, length, text, kMaxStoredPhoneNumberLength);
    number.assign(text, static_cast<std::size_t>(converted));
}

void LoadPhoneNumber(SharedText& number) {
    std::wstring text = number.Get();
    LoadPhoneNumber(text);
    number.Set(std::move(text));
}

void SavePhoneNumber(const std::wstring& number) {
    std::wstring path;
    CFile file;
    if (!GetDataFilePath(kPhoneNumberFile, path) ||
        !file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive)) {
        return;
    }
    // A longer number does not fit the file: its first 30 characters are kept.
    const int characters =
        static_cast<int>(std::min<std::size_t>(number.size(), kMaxStoredPhoneNumberLength));
    char bytes[kMaxStoredPhoneNumberLength] = {};
    const int converted = characters == 0
                              ? 0
                              : WideCharToMultiByte(CP_ACP, 0, number.c_str(), characters, bytes,
                                                    kMaxStoredPhoneNumberLength, nullptr, nullptr);
    UINT length = static_cast<UINT>(converted);
    if (converted < kTerminatedBelow) {
        bytes[converted] = '\0';
        ++length;
    }
    file.Write(bytes, length);
    file.Close();
}
