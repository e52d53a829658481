#include "tests/sippeer/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace sippeer {
namespace {

// A descriptor that becomes readable when the process ends (Linux 5.3 and later), or -1.
int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void RunChild(pid_t parent, const char* workDir, const char* logFile, char* const* argv) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(127);
    }
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(logFile, O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0) {
        _exit(126);
    }
    syscall(SYS_close_range, 3U, ~0U, 0U);
    if (chdir(workDir) != 0) {
        _exit(126);
    }
    // The test process may block or ignore signals; the peer must get its defaults.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    execv(argv[0], argv);
    _exit(127);
}

} // namespace

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::filesystem::path& workDir,
                         const std::filesystem::path& logFile, std::string* error) {
    Kill();
    exitCode_.reset();
    if (argv.empty() || access(argv[0].c_str(), X_OK) != 0) {
        *error = (argv.empty() ? std::string("no program") : argv[0]) + " is not an executable program";
        return false;
    }
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const std::string dir = workDir.string();
    const std::string log = logFile.string();
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        *error = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    if (pid == 0) {
        RunChild(parent, dir.c_str(), log.c_str(), args.data());
    }
    pid_ = pid;
    pidfd_ = OpenPidFd(pid);
    return true;
}

bool ChildProcess::Reap(bool block) {
    if (pid_ < 0) {
        return true;
    }
    int status = 0;
    pid_t got;
    do {
        got = waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == 0) {
        return false;
    }
    if (got == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (pidfd_ >= 0) {
        close(pidfd_);
        pidfd_ = -1;
    }
    pid_ = -1;
    return true;
}

bool ChildProcess::Running() {
    return pid_ >= 0 && !Reap(false);
}

std::optional<int> ChildProcess::Wait(Deadline deadline) {
    while (pid_ >= 0) {
        if (Reap(false)) {
            break;
        }
        const int left = MillisecondsLeft(deadline);
        if (left == 0) {
            return std::nullopt;
        }
        if (pidfd_ >= 0) {
            pollfd p{pidfd_, POLLIN, 0};
            poll(&p, 1, left);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, 5)));
        }
    }
    return exitCode_;
}

void ChildProcess::Signal(int signal) {
    if (Running()) {
        ::kill(pid_, signal);
    }
}

void ChildProcess::Kill() {
    if (pid_ < 0) {
        return;
    }
    ::kill(pid_, SIGKILL);
    Reap(true);
}

std::optional<int> ChildProcess::Stop(Deadline deadline) {
    Signal(SIGTERM);
    if (auto code = Wait(deadline)) {
        return code;
    }
    Kill();
    return exitCode_;
}

} // namespace sippeer
