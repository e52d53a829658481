#include "DataRootTest.h"

#include "platform/fs/AppDataRoot.h"
#include "platform/fs/NativePath.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

void DataRootTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "lullwatch-settings-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    // Reachable for an unprivileged child.
    chmod(m_root.c_str(), 0755);
    platform::fs::SetAppDataRoot(platform::fs::FromNativePath(m_root));
}

void DataRootTest::TearDown() {
    platform::fs::SetAppDataRoot(L"");
    std::error_code ignored;
    fs::permissions(Folder(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_root, ignored);
}

void DataRootTest::WriteFile(const std::string& name, std::string_view bytes) const {
    fs::create_directories(Folder());
    std::ofstream out(Folder() + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> DataRootTest::ReadFile(const std::string& name) const {
    std::ifstream in(Folder() + "/" + name, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> DataRootTest::FolderEntries() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(Folder(), error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void DataRootTest::WriteOldValues() const {
    WriteFile("LullwatchAverage.txt", "8");
    WriteFile("LullwatchSensityvity.txt", "13");
    WriteFile("LullwatchDiapason.txt", "125");
    WriteFile("sound.txt", "\x03");
    WriteFile("phonenumber.txt", std::string_view("0123456789", 11));
}

void SaveNewValues() {
    MonitorSettings settings;
    settings.averagingPeriod = 40;
    settings.sensitivityFactor = 20;
    settings.noiseLength = 250;
    SaveTuningValues(settings);
    SavePhoneNumber(L"0999");
    SaveAlarmStep(5);
}

bool LoadsOldValues() {
    MonitorSettings settings;
    LoadTuningValues(settings);
    std::wstring number;
    LoadPhoneNumber(number);
    return settings.averagingPeriod == 8 && settings.sensitivityFactor == 13 && settings.noiseLength == 125 &&
           LoadAlarmStep() == 3 && number == L"0123456789";
}

int RunInChild(const std::function<int()>& body, bool unprivileged, long fileSizeLimit) {
    const pid_t child = fork();
    if (child == 0) {
        if (unprivileged && geteuid() == 0) {
            constexpr uid_t kNobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) {
                _exit(125);
            }
        }
        if (fileSizeLimit > 0) {
            // Past the limit a write fails with EFBIG instead of ending the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                _exit(126);
            }
        }
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
