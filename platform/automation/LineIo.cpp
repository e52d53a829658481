#include "platform/automation/LineIo.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::automation {

StopSignal::StopSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopSignal::~StopSignal() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void StopSignal::Raise() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(fd_, &one, sizeof one);
}

bool LineReader::ReadLine(std::string* line) {
    for (;;) {
        const auto end = buffer_.find('\n');
        if (end != std::string::npos) {
            *line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return true;
        }
        if (ended_) {
            if (buffer_.empty()) {
                return false;
            }
            line->swap(buffer_);
            buffer_.clear();
            return true;
        }
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (fds[1].revents) {
            return false;
        }
        char chunk[4096];
        const ssize_t n = read(fd_, chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            ended_ = true;
            continue;
        }
        buffer_.append(chunk, static_cast<std::size_t>(n));
    }
}

bool WriteAll(int fd, const std::string& data) {
    struct stat st {};
    const bool isSocket = fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = isSocket ? send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL)
                                   : write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace platform::automation
