#include "platform/host/ProfileSearch.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace platform::host {
namespace {

namespace fsys = std::filesystem;

bool IsFile(const fsys::path& path) {
    std::error_code ec;
    return fsys::is_regular_file(path, ec);
}

std::string ProgramFolder() {
    std::error_code ec;
    const fsys::path self = fsys::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

ProfilePlaces CurrentProfilePlaces() {
    ProfilePlaces places;
    places.configHome = Env("XDG_CONFIG_HOME");
    if (places.configHome.empty() || places.configHome[0] != '/') {
        const std::string home = Env("HOME");
        places.configHome = home.empty() ? "" : home + "/.config";
    }
    const std::string program = ProgramFolder();
    if (!program.empty()) {
        places.sourceTree = SourceTreeOf(program);
        if (places.sourceTree.empty()) {
            places.installedData = (fsys::path(program).parent_path() / "share" / "lullwatch").string();
        }
    }
    places.soundDevices = "/dev/snd";
    return places;
}

std::vector<std::string> ProfileFolders(const ProfilePlaces& places) {
    std::vector<std::string> folders;
    if (!places.configHome.empty()) {
        folders.push_back(places.configHome + "/lullwatch/profiles");
    }
    if (!places.sourceTree.empty()) {
        folders.push_back(places.sourceTree + "/profiles");
    }
    if (!places.installedData.empty()) {
        folders.push_back(places.installedData + "/profiles");
    }
    return folders;
}

bool FindProfile(const std::string& name, const ProfilePlaces& places, std::string* file,
                 std::string* error) {
    const bool iniFile = name.size() > 4 && name.compare(name.size() - 4, 4, ".ini") == 0 && IsFile(name);
    if (name.find('/') != std::string::npos || iniFile) {
        *file = name;
        return true;
    }
    std::string looked;
    for (const auto& folder : ProfileFolders(places)) {
        const std::string candidate = folder + "/" + name + ".ini";
        if (IsFile(candidate)) {
            *file = candidate;
            return true;
        }
        looked += "\n  " + candidate;
    }
    *error = "no profile named " + name + "; looked for" + (looked.empty() ? " nothing" : looked);
    return false;
}

bool HasSoundCapture(const std::string& folder) {
    std::error_code ec;
    for (fsys::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string node = it->path().filename().string();
        if (node.rfind("pcmC", 0) == 0 && node.back() == 'c') {
            return true;
        }
    }
    return false;
}

std::string DefaultProfileName(const ProfilePlaces& places, std::string* reason) {
    if (!places.sourceTree.empty()) {
        *reason = "no --profile given: the demo profile of the source tree";
        return "demo";
    }
    if (HasSoundCapture(places.soundDevices)) {
        *reason = "no --profile given: the desktop profile, since a sound capture device is present";
        return "desktop";
    }
    *reason = "no --profile given: the demo profile, since no sound capture device is present";
    return "demo";
}

std::string SourceTreeOf(const std::string& programFolder) {
    const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    for (fsys::path folder = programFolder; !folder.empty(); folder = folder.parent_path()) {
        std::ifstream cache(folder / "CMakeCache.txt");
        for (std::string line; cache && std::getline(cache, line);) {
            if (line.rfind(key, 0) == 0) {
                const std::string tree = line.substr(key.size());
                return IsFile(fsys::path(tree) / "profiles" / "demo.ini") ? tree : "";
            }
        }
        if (folder == folder.root_path()) {
            break;
        }
    }
    return "";
}

} // namespace platform::host
