#include "platform/host/Host.h"

#include "platform/afx/CWinApp.h"
#include "platform/gdi/GdiBackend.h"
#include "platform/host/CommandLine.h"
#include "platform/host/Device.h"
#include "platform/host/ProfileSearch.h"
#include "platform/host/ProgramResources.h"
#include "platform/record/Record.h"
#include "platform/win/Resources.h"

#include <cstdio>
#include <malloc.h>
#include <stdexcept>

namespace platform::host {
namespace {

std::string BaseName(const char* path) {
    const std::string p = path ? path : "device";
    const auto slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

bool LoadProfile(const std::string& path, const CommandLine& line, DeviceProfile* profile,
                 std::string* error) {
    ProfileFile file;
    if (!ReadProfileFile(path, &file, error)) {
        return false;
    }
    for (const auto& assignment : line.overrides) {
        if (!ApplyOverride(assignment, &file, error)) {
            return false;
        }
    }
    return ParseDeviceProfile(file, profile, error);
}

// The monitor runs all night: memory that a call took (its window's surfaces, a few hundred kB each, made
// on the alarm thread) must go back to the system when the call is over, not stay with the process in a
// heap or in one arena per thread that ever ran. A fixed threshold hands such blocks out as mappings of
// their own; two arenas are plenty for the few threads that allocate.
void TuneMemory() {
    mallopt(M_MMAP_THRESHOLD, 64 * 1024);
    mallopt(M_ARENA_MAX, 2);
}

} // namespace

int Run(int argc, char** argv) {
    const std::string name = BaseName(argc > 0 ? argv[0] : nullptr);
    TuneMemory();
    SignalWatch::Block(); // before any thread starts
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(argc, argv, &line, &error)) {
        std::fprintf(stderr, "%s: %s\n%s", name.c_str(), error.c_str(), Usage(name).c_str());
        return 2;
    }
    if (line.help || line.version) {
        std::fputs((line.help ? Usage(name) : VersionLine(name)).c_str(), stdout);
        return 0;
    }
    const ProfilePlaces places = CurrentProfilePlaces();
    std::string profileName = line.profile;
    if (profileName.empty()) {
        std::string reason;
        profileName = DefaultProfileName(places, &reason);
        std::fprintf(stderr, "%s: %s\n", name.c_str(), reason.c_str());
    }
    std::string profilePath;
    DeviceProfile profile;
    if (!FindProfile(profileName, places, &profilePath, &error) ||
        !LoadProfile(profilePath, line, &profile, &error)) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
        return 2;
    }
    try {
        gdi::LoadFonts();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
        return 1;
    }
    RegisterProgramResources(resources::ProgramInstance());
    Device device(name, std::move(profile));
    if (!device.Start(&error)) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
        return device.DisplayFailed() ? 2 : 1; // a display that does not work is the device's setting
    }
    std::fprintf(stderr, "%s: profile %s\n", name.c_str(), profilePath.c_str());
    const int code = AfxWinMain(resources::ProgramInstance());
    record::Stop(code);
    device.ProgramFinished();
    return code;
}

} // namespace platform::host
