#include "settings/DataFolder.h"

#include "platform/fs/FileApi.h"
#include "settings/SettingsStore.h"

BOOL GetDataFilePath(LPCWSTR fileName, std::wstring& path) {
    WCHAR root[MAX_PATH];
    if (!SHGetSpecialFolderPath(nullptr, root, CSIDL_APPDATA, FALSE)) {
        return FALSE;
    }
    path = root;
    path += L"\\Lullwatch";
    if (fileName != nullptr) {
        path += L'\\';
        path += fileName;
    }
    return TRUE;
}

void EnsureDataFolder() {
    std::wstring folder;
    if (GetDataFilePath(nullptr, folder)) {
        // An existing folder is no error; a folder that cannot be made shows up as files that do not open.
        CreateDirectoryW(folder.c_str(), nullptr);
    }
}
