// The automation channel on a UNIX socket, for controllers that did not start the device (a person with
// socat, a script). Only the user who runs the device may connect: the socket is made with mode 0600,
// by default inside a new private folder (mode 0700) under $XDG_RUNTIME_DIR, or under the temporary
// folder when that is not set. Never a network port. Several clients may be connected at once, each
// with a thread of its own; commands are answered in order per client.
#pragma once

#include "platform/automation/Channel.h"
#include "platform/automation/LineIo.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace platform::automation {

class SocketChannel {
public:
    explicit SocketChannel(const Channel& channel);
    ~SocketChannel();
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    // Creates the socket at `path` (empty: in a new private folder) and starts accepting clients.
    // A stale socket left at `path` by an ended process is replaced; anything else there is an error.
    bool Start(const std::string& path, std::string* error);

    // Where the socket is (empty before Start).
    const std::string& Path() const { return path_; }

    // Disconnects every client after its command in progress, then removes the socket (and the private
    // folder). Idempotent.
    void Stop();

private:
    struct Client {
        int fd = -1;
        std::thread thread;
        std::atomic<bool> done{false};
    };

    void Accept();
    void Serve(Client& client);
    void ReapFinished();

    const Channel& channel_;
    std::string path_;
    std::string privateDir_;
    int listenFd_ = -1;
    StopSignal stop_;
    std::thread acceptThread_;
    std::mutex mutex_;
    std::list<std::unique_ptr<Client>> clients_; // guarded by mutex_
};

} // namespace platform::automation
