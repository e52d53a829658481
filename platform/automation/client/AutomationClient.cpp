#include "platform/automation/client/AutomationClient.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform::automation {
namespace {

using Clock = std::chrono::steady_clock;

// The line by which the host names its socket on standard error.
constexpr const char* kSocketMarker = "automation socket ";

bool IsStatusLine(const std::string& line) {
    return line == "ok" || line.rfind("ok ", 0) == 0 || line.rfind("error ", 0) == 0 || line == "error";
}

int Remaining(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// The condition the stderr thread signals when it has seen the socket's path.
struct SocketNotice {
    std::mutex mutex;
    std::condition_variable cv;
};
SocketNotice& Notice() {
    static SocketNotice notice;
    return notice;
}

// The command line: the launcher, the program, its profile and the overrides.
std::vector<std::string> Arguments(const AutomationClient::Options& options) {
    std::vector<std::string> args = options.launcher;
    args.push_back(options.program);
    if (!options.profile.empty()) {
        args.insert(args.end(), {"--profile", options.profile});
    }
    for (const auto& setting : options.settings) {
        args.insert(args.end(), {"--set", setting});
    }
    return args;
}

// This process's environment with the options' entries set over it.
std::vector<std::string> Environment(const AutomationClient::Options& options) {
    std::vector<std::string> env;
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const bool replaced = std::any_of(options.environment.begin(), options.environment.end(),
                                          [&](const std::string& o) { return nameOf(o) == nameOf(entry); });
        if (!replaced) {
            env.push_back(entry);
        }
    }
    env.insert(env.end(), options.environment.begin(), options.environment.end());
    return env;
}

// The null-terminated array of C strings that exec takes.
std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

std::string ClientReply::Text() const {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text + (ok ? "ok" : "error") + (status.empty() ? "" : " " + status);
}

std::unique_ptr<AutomationClient> AutomationClient::Start(const Options& options, std::string* error) {
    // A program that ended closes its input pipe; writing to it must fail, not kill the caller.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args = Arguments(options);
    std::vector<std::string> env = Environment(options);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);

    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        *error = std::string("pipe: ") + std::strerror(errno);
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::unique_ptr<AutomationClient> client(new AutomationClient);
    const int spawned =
        posix_spawnp(&client->pid_, args.front().c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    client->stdinPipe_ = in[1];
    client->stdoutPipe_ = out[0];
    client->stderrPipe_ = err[0];
    if (spawned != 0) {
        *error = "cannot start " + options.program + ": " + std::strerror(spawned);
        client->pid_ = -1;
        return nullptr;
    }
    client->pidFd_ = static_cast<int>(syscall(SYS_pidfd_open, client->pid_, 0));
    client->stderrThread_ = std::thread([c = client.get()] { c->CollectStderr(); });
    client->toProgram_ = client->stdinPipe_;
    client->fromProgram_ = client->stdoutPipe_;
    if (options.socket && !client->ConnectSocket(20000, error)) {
        return nullptr;
    }
    return client;
}

AutomationClient::~AutomationClient() {
    if (pid_ > 0 && !exitStatus_) {
        if (!Quit(5000)) {
            kill(pid_, SIGKILL);
            WaitForExit(5000);
        }
    }
    CloseFd(socketFd_);
    CloseFd(stdinPipe_);
    CloseFd(stdoutPipe_);
    if (stderrThread_.joinable()) {
        stderrThread_.join();
    }
    CloseFd(stderrPipe_);
    CloseFd(pidFd_);
}

void AutomationClient::CollectStderr() {
    char chunk[4096];
    for (;;) {
        const ssize_t n = read(stderrPipe_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        {
            std::lock_guard lock(stderrMutex_);
            stderr_.append(chunk, static_cast<std::size_t>(n));
        }
        Notice().cv.notify_all();
    }
    Notice().cv.notify_all();
}

std::string AutomationClient::Stderr() const {
    std::lock_guard lock(stderrMutex_);
    return stderr_;
}

bool AutomationClient::ConnectSocket(int timeoutMs, std::string* error) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string path;
    {
        std::unique_lock lock(stderrMutex_);
        for (;;) {
            const auto at = stderr_.find(kSocketMarker);
            const auto end = at == std::string::npos ? at : stderr_.find('\n', at);
            if (end != std::string::npos) {
                const auto start = at + std::strlen(kSocketMarker);
                path = stderr_.substr(start, end - start);
                break;
            }
            pollfd ended{pidFd_, POLLIN, 0};
            if (Clock::now() >= deadline || (pidFd_ >= 0 && poll(&ended, 1, 0) > 0)) {
                *error = "the program named no automation socket; it said:\n" + stderr_;
                return false;
            }
            lock.unlock();
            {
                std::unique_lock wait(Notice().mutex);
                Notice().cv.wait_for(wait, std::chrono::milliseconds(100));
            }
            lock.lock();
        }
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    socketFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connect(socketFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        *error = "cannot connect to " + path + ": " + std::strerror(errno);
        return false;
    }
    socketPath_ = path;
    toProgram_ = socketFd_;
    fromProgram_ = socketFd_;
    return true;
}

bool AutomationClient::ReadLine(std::string* line, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto end = pending_.find('\n');
        if (end != std::string::npos) {
            *line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        pollfd fd{fromProgram_, POLLIN, 0};
        const int ready = poll(&fd, 1, Remaining(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        char chunk[4096];
        const ssize_t n = read(fromProgram_, chunk, sizeof chunk);
        if (n <= 0) {
            return false;
        }
        pending_.append(chunk, static_cast<std::size_t>(n));
    }
}

ClientReply AutomationClient::Command(const std::string& line, int timeoutMs) {
    ClientReply reply;
    const std::string data = line + "\n";
    if (toProgram_ < 0 || (toProgram_ == socketFd_ ? send(toProgram_, data.data(), data.size(), MSG_NOSIGNAL)
                                                   : write(toProgram_, data.data(), data.size())) !=
                              static_cast<ssize_t>(data.size())) {
        reply.status = "cannot send the command: the program has gone";
        return reply;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (ReadLine(&received, Remaining(deadline))) {
        if (IsStatusLine(received)) {
            reply.ok = received.rfind("ok", 0) == 0;
            const auto space = received.find(' ');
            reply.status = space == std::string::npos ? "" : received.substr(space + 1);
            return reply;
        }
        reply.lines.push_back(received.size() > 0 && received[0] == ' ' ? received.substr(1) : received);
    }
    reply.status = "no reply to \"" + line + "\" within " + std::to_string(timeoutMs) + " ms";
    return reply;
}

bool AutomationClient::WaitFor(const std::string& condition, int ms) {
    return Command("wait " + std::to_string(ms) + " " + condition, ms + 30000).ok;
}

std::optional<int> AutomationClient::Quit(int timeoutMs) {
    if (!exitStatus_) {
        Command("quit", timeoutMs);
    }
    return WaitForExit(timeoutMs);
}

void AutomationClient::EndInput() {
    if (toProgram_ == stdinPipe_) {
        toProgram_ = -1;
    }
    CloseFd(stdinPipe_);
}

std::optional<int> AutomationClient::WaitForExit(int timeoutMs) {
    if (exitStatus_ || pid_ <= 0) {
        return exitStatus_;
    }
    pollfd fd{pidFd_, POLLIN, 0};
    if (pidFd_ >= 0 && poll(&fd, 1, timeoutMs) <= 0) {
        return std::nullopt;
    }
    int status = 0;
    if (waitpid(pid_, &status, 0) != pid_) {
        return std::nullopt;
    }
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    // The program's last words may still be in the pipe: read them all before anyone asks.
    if (stderrThread_.joinable()) {
        stderrThread_.join();
    }
    return exitStatus_;
}

} // namespace platform::automation
