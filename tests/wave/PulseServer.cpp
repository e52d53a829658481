#include "PulseServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace wavetest {
namespace {

// Starts `path` with `argv`, its output to `outputFile`; the child dies with this process.
pid_t Spawn(const std::string& path, const std::vector<std::string>& argv, const std::string& outputFile) {
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);
        }
        const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        const int in = open("/dev/null", O_RDONLY);
        if (in >= 0) {
            dup2(in, 0);
        }
        execv(path.c_str(), args.data());
        _exit(127);
    }
    return pid;
}

// Waits for the child to end; its exit status, or -1 at the deadline.
int Reap(pid_t pid, std::chrono::milliseconds deadline) {
    int status = 0;
    const bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, deadline);
    if (!ended) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

bool CanConnect(const std::string& socketPath) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

std::string PulseServer::Find(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = dir + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return "";
}

PulseServer::~PulseServer() {
    Kill();
}

bool PulseServer::Start(std::string* error) {
    const std::string binary = Find("pulseaudio");
    const std::string root = dir_.Path();
    const std::string run = root + "/run";
    const std::string home = root + "/home";
    mkdir(run.c_str(), 0700);
    mkdir(home.c_str(), 0700);
    std::ofstream(root + "/client.conf") << "autospawn = no\n";
    setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    setenv("PULSE_RUNTIME_PATH", (run + "/pulse").c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + run + "/pulse/native").c_str(), 1);
    setenv("PULSE_CLIENTCONFIG", (root + "/client.conf").c_str(), 1);

    // The sink is loaded before the protocol, so a socket that accepts means a server with its sink.
    // Without norewinds the sink rewinds over the start of what is played, and the monitor loses it.
    pid_ = Spawn(binary,
                 {"pulseaudio", "--daemonize=no", "--system=false", "-n", "--exit-idle-time=-1",
                  "--disable-shm=yes", "--log-target=stderr",
                  "--load=module-null-sink sink_name=lw rate=8000 channels=1 format=u8 norewinds=1",
                  "--load=module-native-protocol-unix"},
                 root + "/server.log");
    if (pid_ < 0) {
        *error = "cannot start pulseaudio";
        return false;
    }
    const std::string socketPath = run + "/pulse/native";
    if (!WaitUntil([&] { return CanConnect(socketPath); })) {
        *error = "pulseaudio did not come up:\n" + Log();
        return false;
    }
    return true;
}

void PulseServer::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        Reap(pid_, kDeadline);
        pid_ = -1;
    }
}

bool PulseServer::Run(const std::vector<std::string>& argv, std::string* output,
                      std::chrono::milliseconds deadline) {
    const std::string outFile = dir_.Path() + "/client-output.txt";
    std::remove(outFile.c_str());
    const pid_t pid = Spawn(Find(argv[0]), argv, outFile);
    const int status = pid > 0 ? Reap(pid, deadline) : -1;
    if (status == -1 && pid > 0) {
        kill(pid, SIGKILL);
        Reap(pid, kDeadline);
    }
    *output = ReadFile(outFile);
    return status == 0;
}

bool PulseServer::Play(const std::vector<BYTE>& bytes, std::string* error) {
    const std::string file = dir_.Path() + "/play.raw";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::string output;
    if (!Run({"pacat", "--playback", "--raw", "--format=u8", "--rate=8000", "--channels=1", "--device=lw",
              file},
             &output, kDeadline + std::chrono::milliseconds(bytes.size() / 8))) { // 8 bytes per ms
        *error = "pacat failed: " + output;
        return false;
    }
    return true;
}

std::string PulseServer::Log() const {
    return ReadFile(dir_.Path() + "/server.log");
}

} // namespace wavetest
