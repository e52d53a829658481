// Line input and output on file descriptors for the channel's transports. A reader waits for its
// descriptor and for a shared stop signal at once, so that a transport can end its threads while they
// wait for input that may never come.
#pragma once

#include <string>

namespace platform::automation {

// An event that any number of readers watch; once raised it stays raised.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Raise();
    int fd() const { return fd_; }

private:
    int fd_;
};

class LineReader {
public:
    LineReader(int fd, const StopSignal& stop) : fd_(fd), stop_(stop) {}

    // The next line without its line break: true; false at the end of input, on an error or once the
    // stop signal is raised. A last line without a line break still counts.
    bool ReadLine(std::string* line);

private:
    int fd_;
    const StopSignal& stop_;
    std::string buffer_;
    bool ended_ = false;
};

// Writes all of `data`; false when the other side is gone.
bool WriteAll(int fd, const std::string& data);

} // namespace platform::automation
