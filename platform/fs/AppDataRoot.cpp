#include "platform/fs/AppDataRoot.h"

#include "platform/fs/NativePath.h"

#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform::fs {
namespace {

std::mutex g_rootMutex;
std::wstring g_root; // empty: the default

bool IsSeparator(wchar_t c) {
    return c == L'/' || c == L'\\';
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

std::wstring DefaultRoot() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return FromNativePath(dataHome);
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::wstring() : FromNativePath(home + "/.local/share");
}

} // namespace

void SetAppDataRoot(std::wstring root) {
    while (root.size() > 1 && IsSeparator(root.back())) {
        root.pop_back();
    }
    std::lock_guard lock(g_rootMutex);
    g_root = std::move(root);
}

std::wstring AppDataRoot() {
    {
        std::lock_guard lock(g_rootMutex);
        if (!g_root.empty()) {
            return g_root;
        }
    }
    std::wstring root = DefaultRoot();
    while (root.size() > 1 && IsSeparator(root.back())) {
        root.pop_back();
    }
    return root;
}

} // namespace platform::fs
