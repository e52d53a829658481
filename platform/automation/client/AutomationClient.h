// A client of the automation channel for tests and tools: starts a program built on the platform (the
// monitor, or the test program) with a device profile, talks to it over its standard input and output
// or over its automation socket, and ends it. The program's standard error is collected (Stderr()), so
// that a failing test can show what the program said.
//
//   AutomationClient::Options options{program, "profiles/test.ini"};
//   options.settings.push_back("device.data_root=" + folder);
//   auto client = AutomationClient::Start(options, &error);
//   client->Command("click foreground id=1000");
//   client->WaitFor("text foreground 1000 is Stop", 2000);
//   client->Quit();
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace platform::automation {

struct ClientReply {
    bool ok = false;
    std::string status;             // the status line after "ok " or "error "
    std::vector<std::string> lines; // the data lines
    std::string Text() const;       // the whole reply as received, for messages
};

class AutomationClient {
public:
    struct Options {
        std::string program;                  // the program's binary
        std::string profile;                  // its device profile (--profile); empty for the default
        std::vector<std::string> settings;    // --set <section>.<key>=<value> overrides
        bool socket = false;                  // talk over the automation socket instead of stdio
        std::vector<std::string> environment; // NAME=value set in the program's environment
        std::vector<std::string> launcher;    // run the program through this, e.g. {"xvfb-run", "-a"}
    };

    // Starts the program; with `socket`, waits (up to 20 s) until it names its socket and connects.
    // SIGPIPE is ignored in the calling process from then on.
    static std::unique_ptr<AutomationClient> Start(const Options& options, std::string* error);

    // Ends the program if it still runs: quit, and after 5 s SIGKILL.
    ~AutomationClient();
    AutomationClient(const AutomationClient&) = delete;
    AutomationClient& operator=(const AutomationClient&) = delete;

    // Sends one command and reads its reply; a reply that does not come within `timeoutMs` (or a
    // program that ended) gives ok false with the status saying so.
    ClientReply Command(const std::string& line, int timeoutMs = 30000);

    // "wait <ms> <condition>": true when the condition held in time.
    bool WaitFor(const std::string& condition, int ms);

    // Sends quit and waits for the program to end; its exit status, or nullopt after `timeoutMs`.
    std::optional<int> Quit(int timeoutMs = 20000);
    // Waits for the program to end by itself.
    std::optional<int> WaitForExit(int timeoutMs);

    // Closes the program's standard input (the end of input, for a program on the stdio channel).
    void EndInput();

    // What the program wrote on standard error so far; all of it once WaitForExit has seen it end.
    std::string Stderr() const;
    const std::string& SocketPath() const { return socketPath_; }
    pid_t pid() const { return pid_; }

private:
    AutomationClient() = default;
    void CollectStderr();
    bool ConnectSocket(int timeoutMs, std::string* error);
    bool ReadLine(std::string* line, int timeoutMs);

    pid_t pid_ = -1;
    int pidFd_ = -1;
    int toProgram_ = -1;   // commands go here (stdin pipe or socket)
    int fromProgram_ = -1; // replies come from here (stdout pipe or socket)
    int stdinPipe_ = -1;
    int stdoutPipe_ = -1;
    int stderrPipe_ = -1;
    int socketFd_ = -1;
    std::string pending_; // bytes read past the last line
    std::optional<int> exitStatus_;
    std::string socketPath_;
    mutable std::mutex stderrMutex_;
    std::string stderr_;
    std::thread stderrThread_;
};

} // namespace platform::automation
