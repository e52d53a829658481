#include "platform/host/SignalWatch.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace platform::host {
namespace {

sigset_t Watched() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

void SignalWatch::Block() {
    const sigset_t set = Watched();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // A write beyond a file-size limit fails with EFBIG instead of killing the process: the file store
    // carries on as for any failed write (a full medium).
    std::signal(SIGXFSZ, SIG_IGN);
}

SignalWatch::SignalWatch(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    const sigset_t set = Watched();
    fd_ = signalfd(-1, &set, SFD_CLOEXEC);
    thread_ = std::thread([this] { Run(); });
}

SignalWatch::~SignalWatch() {
    stop_.Raise();
    thread_.join();
    close(fd_);
}

void SignalWatch::Run() {
    bool seen = false;
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (fds[1].revents) {
            return;
        }
        signalfd_siginfo info{};
        if (!(fds[0].revents & POLLIN) || read(fd_, &info, sizeof info) != sizeof info) {
            continue;
        }
        if (seen) {
            _exit(130);
        }
        seen = true;
        onSignal_(static_cast<int>(info.ssi_signo));
    }
}

} // namespace platform::host
