// CreateDirectoryW and SHGetSpecialFolderPath.
#include "platform/fs/AppDataRoot.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/NativePath.h"

#include <cwchar>
#include <sys/stat.h>

namespace {

// Creates `path` and its missing parents, private to the user as data folders are.
void MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    }
    ::mkdir(path.c_str(), 0700);
}

} // namespace

BOOL CreateDirectoryW(LPCWSTR path, void* /*security*/) {
    if (path == nullptr || path[0] == L'\0') {
        return FALSE;
    }
    return ::mkdir(platform::fs::ToNativePath(path).c_str(), 0777) == 0 ? TRUE : FALSE;
}

BOOL SHGetSpecialFolderPath(HWND /*owner*/, LPWSTR path, int csidl, BOOL /*create*/) {
    if (path == nullptr || csidl != CSIDL_APPDATA) {
        return FALSE;
    }
    const std::wstring root = platform::fs::AppDataRoot();
    if (root.empty() || root.size() >= MAX_PATH) {
        return FALSE;
    }
    const std::string native = platform::fs::ToNativePath(root);
    struct stat info {};
    if (::stat(native.c_str(), &info) != 0) {
        MakeFolders(native);
    }
    std::wmemcpy(path, root.c_str(), root.size() + 1);
    return TRUE;
}
