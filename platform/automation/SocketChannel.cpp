#include "platform/automation/SocketChannel.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::automation {
namespace {

std::string Errno(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool FillAddress(const std::string& path, sockaddr_un* address) {
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path) {
        return false;
    }
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A socket at `path` that nobody listens on any more.
bool StaleSocket(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) {
        return false;
    }
    sockaddr_un address{};
    FillAddress(path, &address);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool refused =
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 && errno == ECONNREFUSED;
    close(fd);
    return refused;
}

std::string PrivateFolder(std::string* error) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* tmp = std::getenv("TMPDIR");
    std::string base = runtime && runtime[0] == '/' ? runtime : (tmp && tmp[0] == '/' ? tmp : "/tmp");
    std::string pattern = base + "/lullwatch-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        *error = Errno("cannot make a private folder under " + base);
        return "";
    }
    return pattern;
}

} // namespace

SocketChannel::SocketChannel(const Channel& channel) : channel_(channel) {}

SocketChannel::~SocketChannel() {
    Stop();
}

bool SocketChannel::Start(const std::string& path, std::string* error) {
    std::string where = path;
    if (where.empty()) {
        privateDir_ = PrivateFolder(error);
        if (privateDir_.empty()) {
            return false;
        }
        where = privateDir_ + "/automation.sock";
    } else if (StaleSocket(where)) {
        unlink(where.c_str());
    }
    sockaddr_un address{};
    if (!FillAddress(where, &address)) {
        *error = "the socket path is too long: " + where;
        return false;
    }
    listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // Created 0600 from the start: no moment in which another user could connect.
    const mode_t oldMask = umask(0177);
    const int bound = bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    umask(oldMask);
    if (bound != 0 || chmod(where.c_str(), 0600) != 0 || listen(listenFd_, 8) != 0) {
        *error = Errno("cannot make the automation socket " + where);
        close(listenFd_);
        listenFd_ = -1;
        if (!privateDir_.empty()) {
            rmdir(privateDir_.c_str());
            privateDir_.clear();
        }
        return false;
    }
    path_ = where;
    acceptThread_ = std::thread([this] { Accept(); });
    return true;
}

void SocketChannel::Stop() {
    if (listenFd_ < 0) {
        return;
    }
    stop_.Raise();
    acceptThread_.join();
    std::list<std::unique_ptr<Client>> clients;
    {
        std::lock_guard lock(mutex_);
        clients.swap(clients_);
    }
    for (auto& client : clients) {
        client->thread.join();
        close(client->fd);
    }
    close(listenFd_);
    listenFd_ = -1;
    unlink(path_.c_str());
    if (!privateDir_.empty()) {
        rmdir(privateDir_.c_str());
    }
}

void SocketChannel::Accept() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (fds[1].revents) {
            return;
        }
        if (!(fds[0].revents & POLLIN)) {
            continue;
        }
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        ReapFinished();
        auto client = std::make_unique<Client>();
        client->fd = fd;
        Client& ref = *client;
        std::lock_guard lock(mutex_);
        clients_.push_back(std::move(client));
        ref.thread = std::thread([this, &ref] { Serve(ref); });
    }
}

void SocketChannel::Serve(Client& client) {
    LineReader reader(client.fd, stop_);
    std::string line;
    while (reader.ReadLine(&line) && WriteAll(client.fd, channel_.Execute(line))) {
    }
    client.done.store(true, std::memory_order_release);
}

void SocketChannel::ReapFinished() {
    std::list<std::unique_ptr<Client>> finished;
    {
        std::lock_guard lock(mutex_);
        for (auto it = clients_.begin(); it != clients_.end();) {
            if ((*it)->done.load(std::memory_order_acquire)) {
                finished.push_back(std::move(*it));
                it = clients_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& client : finished) {
        client->thread.join();
        close(client->fd);
    }
}

} // namespace platform::automation
