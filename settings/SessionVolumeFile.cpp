#include "settings/SessionVolumeFile.h"

#include "platform/afx/CFile.h"
#include "settings/DataFolder.h"
#include "settings/SettingsStore.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace {

// "0x" and eight hexadecimal digits.
constexpr UINT kVolumeTextLength = 10;

} // namespace

BOOL SaveSessionVolume(DWORD volume) {
    EnsureDataFolder();
    std::wstring path;
    CFile file;
    if (!GetDataFilePath(kSessionVolumeFile, path) ||
        !file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
        return FALSE;
    }
    char text[kVolumeTextLength + 1];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(volume));
    file.Write(text, kVolumeTextLength);
    return file.Close();
}

BOOL LoadSessionVolume(DWORD& volume) {
    std::wstring path;
    CFile file;
    if (!GetDataFilePath(kSessionVolumeFile, path) ||
        !file.Open(path.c_str(), CFile::modeRead | CFile::shareExclusive)) {
        return FALSE;
    }
    char text[kVolumeTextLength + 2] = {}; // one byte more than a volume word, to see a longer file
    const UINT got = file.Read(text, kVolumeTextLength + 1);
    file.Close();
    if (got != kVolumeTextLength || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return FALSE;
    }
    DWORD value = 0;
    for (UINT i = 2; i < kVolumeTextLength; ++i) {
        if (std::isxdigit(static_cast<unsigned char>(text[i])) == 0) {
            return FALSE;
        }
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        value = value * 16 + static_cast<DWORD>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    volume = value;
    return TRUE;
}

BOOL SessionVolumeFileExists() {
    std::wstring path;
    CFile file;
    if (!GetDataFilePath(kSessionVolumeFile, path) ||
        !file.Open(path.c_str(), CFile::modeRead | CFile::shareExclusive)) {
        return FALSE;
    }
    file.Close();
    return TRUE;
}

void RemoveSessionVolume() {
    std::wstring path;
    if (GetDataFilePath(kSessionVolumeFile, path)) {
        CFile::Remove(path.c_str());
    }
}

void RemoveInterruptedWrites() {
    std::wstring folder;
    if (GetDataFilePath(nullptr, folder)) {
        CFile::RemoveLeftoverTemporaries(folder.c_str());
    }
}
