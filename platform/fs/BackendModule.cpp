#include "platform/fs/BackendModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace platform::fs {
namespace {

std::vector<std::filesystem::path> ModuleFolders() {
    if (const char* only = std::getenv("LULLWATCH_MODULE_DIR"); only && *only) {
        return {only};
    }
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    const std::filesystem::path folder = program.parent_path();
    return {folder, (folder / ".." / LULLWATCH_MODULE_DIR).lexically_normal()};
}

} // namespace

void* FindBackendEntry(const char* module, const char* entry, std::string* error) {
    if (void* linked = dlsym(RTLD_DEFAULT, entry)) {
        return linked;
    }
    std::string reason = "no module folder";
    bool found = false;
    for (const auto& folder : ModuleFolders()) {
        const std::filesystem::path file = folder / module;
        std::error_code ignored;
        const bool exists = std::filesystem::exists(file, ignored);
        if (found && !exists) {
            continue; // keep the reason a file that is there could not be loaded
        }
        // Loaded for good: its code may run until the process ends (threads, exit handlers).
        void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!handle) {
            const char* why = dlerror();
            reason = why ? why : "cannot be loaded";
            found = found || exists;
            continue;
        }
        if (void* address = dlsym(handle, entry)) {
            return address;
        }
        const char* why = dlerror();
        reason = why ? why : std::string(entry) + " is missing";
        found = true;
    }
    *error = std::string("cannot load the module ") + module + ": " + reason;
    return nullptr;
}

} // namespace platform::fs
