#include "platform/afx/CFile.h"

#include "platform/fs/NativePath.h"
#include "platform/record/Detail.h"
#include "platform/record/Record.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr UINT kAccessMask = 0x0003;

constexpr char kTempPrefix[] = ".";
constexpr char kTempSuffix[] = ".tmp";

bool IsTempName(const std::string& name) {
    const std::size_t prefix = sizeof kTempPrefix - 1;
    const std::size_t suffix = sizeof kTempSuffix - 1;
    return name.size() > prefix + suffix && name.compare(0, prefix, kTempPrefix) == 0 &&
           name.compare(name.size() - suffix, suffix, kTempSuffix) == 0;
}

// The temporary file that stands in for `path` until Close: a hidden name beside it, so that the rename is
// within one folder and one file system.
std::string TempPathFor(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + kTempPrefix + path.substr(nameStart) + kTempSuffix;
}

// Flushes the folder that holds `path`, so that a rename in it survives a power cut.
void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Tells the night's record that a file was replaced ("settings") or could not be ("settings-failed").
bool Recorded(bool written, const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    platform::record::Note(written ? "settings" : "settings-failed",
                           platform::record::DetailText({{"file", name}}));
    return written;
}

} // namespace

CFile::~CFile() {
    if (m_fd >= 0) {
        Close();
    }
}

BOOL CFile::Open(LPCWSTR fileName, UINT openFlags) {
    const UINT access = openFlags & kAccessMask;
    if (m_fd >= 0 || fileName == nullptr || fileName[0] == L'\0' || access == kAccessMask) {
        return FALSE;
    }
    m_path = platform::fs::ToNativePath(fileName);
    m_access = access;
    m_failed = false;
    if ((openFlags & modeCreate) != 0 && (openFlags & modeNoTruncate) == 0) {
        return OpenReplacement(m_path);
    }
    int flags = O_CLOEXEC | (access == modeRead ? O_RDONLY : access == modeWrite ? O_WRONLY : O_RDWR);
    if ((openFlags & modeCreate) != 0) {
        flags |= O_CREAT;
    }
    m_fd = ::open(m_path.c_str(), flags, 0666);
    struct stat info {};
    if (m_fd >= 0 && (::fstat(m_fd, &info) != 0 || S_ISDIR(info.st_mode))) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_fd < 0) {
        Reset();
        return FALSE;
    }
    return TRUE;
}

BOOL CFile::OpenReplacement(const std::string& path) {
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && (S_ISDIR(existing.st_mode) || ::access(path.c_str(), W_OK) != 0)) {
        Recorded(false, path);
        Reset();
        return FALSE;
    }
    m_tempPath = TempPathFor(path);
    m_fd = ::open(m_tempPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        Recorded(false, path);
        Reset();
        return FALSE;
    }
    if (exists) {
        ::fchmod(m_fd, existing.st_mode & 07777);
    }
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count) {
    if (m_fd < 0 || m_access == modeWrite) {
        m_failed = true;
        return 0;
    }
    auto* bytes = static_cast<char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t got = ::read(m_fd, bytes + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            m_failed = true;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<UINT>(got);
    }
    return done;
}

BOOL CFile::Write(const void* buffer, UINT count) {
    if (m_fd < 0 || m_access == modeRead) {
        m_failed = true;
    }
    if (m_failed) {
        return FALSE;
    }
    const auto* bytes = static_cast<const char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t put = ::write(m_fd, bytes + done, count - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            m_failed = true;
            return FALSE;
        }
        done += static_cast<UINT>(put);
    }
    return TRUE;
}

ULONGLONG CFile::GetLength() const {
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0 || info.st_size < 0) {
        return 0;
    }
    return static_cast<ULONGLONG>(info.st_size);
}

BOOL CFile::Close() {
    if (m_fd < 0) {
        return FALSE;
    }
    if (!m_tempPath.empty()) {
        return CommitReplacement();
    }
    const bool closed = ::close(m_fd) == 0;
    const bool ok = closed && !m_failed;
    Reset();
    return ok ? TRUE : FALSE;
}

BOOL CFile::CommitReplacement() {
    bool ok = !m_failed && ::fsync(m_fd) == 0;
    ok = ::close(m_fd) == 0 && ok;
    ok = ok && ::rename(m_tempPath.c_str(), m_path.c_str()) == 0;
    Recorded(ok, m_path);
    if (ok) {
        SyncFolderOf(m_path);
    } else {
        ::unlink(m_tempPath.c_str());
    }
    Reset();
    return ok ? TRUE : FALSE;
}

void CFile::Abort() {
    if (m_fd < 0) {
        return;
    }
    ::close(m_fd);
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
    }
    Reset();
}

BOOL CFile::Remove(LPCWSTR fileName) {
    if (fileName == nullptr || fileName[0] == L'\0') {
        return FALSE;
    }
    return ::unlink(platform::fs::ToNativePath(fileName).c_str()) == 0 ? TRUE : FALSE;
}

int CFile::RemoveLeftoverTemporaries(LPCWSTR folder) {
    if (folder == nullptr || folder[0] == L'\0') {
        return 0;
    }
    const std::string path = platform::fs::ToNativePath(folder);
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat info {};
        const std::string file = path + "/" + name;
        if (IsTempName(name) && ::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::unlink(file.c_str()) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

void CFile::Reset() {
    m_fd = -1;
    m_failed = false;
    m_path.clear();
    m_tempPath.clear();
}
