// One program run as a child of the test process: started with fork/exec, its standard input from
// /dev/null and its standard output and error appended to a log file, with none of the test process's
// other descriptors. The child is killed (SIGKILL) when the thread that started it ends, so a crashed
// or aborted test never leaves a peer behind holding ports; start peers from the test's own thread.
// The destructor kills and reaps a child that still runs.
#pragma once

#include "tests/sippeer/Deadline.h"

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sippeer {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Runs `argv` (argv[0] is the program's full path) in `workDir`, its output appended to `logFile`.
    // False (with `error` set) when the program could not be started; a child still running is killed
    // first.
    bool Start(const std::vector<std::string>& argv, const std::filesystem::path& workDir,
               const std::filesystem::path& logFile, std::string* error);

    pid_t pid() const { return pid_; }
    // True while the child has been started and has not ended.
    bool Running();
    // Waits for the child to end: its exit code (128 + signal number when a signal ended it), or nothing
    // when it still runs at the deadline or was never started.
    std::optional<int> Wait(Deadline deadline);
    // Sends `signal` to a running child.
    void Signal(int signal);
    // SIGKILL and reap at once.
    void Kill();
    // SIGTERM, then SIGKILL when it still runs at `deadline`; the exit code as Wait gives it.
    std::optional<int> Stop(Deadline deadline);
    // The exit code once the child has ended and been reaped.
    std::optional<int> ExitCode() const { return exitCode_; }

private:
    bool Reap(bool block);

    pid_t pid_ = -1;
    int pidfd_ = -1;
    std::optional<int> exitCode_;
};

} // namespace sippeer
