// sipp (3.6.1) run as a child process on 127.0.0.1 with a scenario of the test's own: a far end that
// answers with any status, rings until cancelled, challenges for digest credentials or acts as a
// registrar (see SippScenarios.h), or a plain caller (SippClientScenarios.h). It runs headless in the
// foreground (no terminal, stdin closed), on a free port, in a private folder that holds the scenario,
// its screen output, its error log and a trace of every SIP message sent and received. One call is
// handled (-m 1); then sipp exits, its exit code telling whether the scenario passed.
#pragma once

#include "tests/sippeer/ChildProcess.h"
#include "tests/sippeer/Deadline.h"
#include "tests/sippeer/TempFolder.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sippeer {

enum class SipTransport { Udp, Tcp };

class SippPeer {
public:
    static constexpr const char* kProgram = "/usr/bin/sipp";
    // sipp's exit codes.
    static constexpr int kPassed = 0;       // every call went as the scenario says
    static constexpr int kCallFailed = 1;   // a call failed (unexpected or missing message, timeout)
    static constexpr int kStopped = 97;     // stopped by an internal command
    static constexpr int kNoCallEnded = 99; // ended before any call completed
    static constexpr int kFatal = 255;      // could not run (bad scenario, port taken, ...)

    SippPeer() = default;
    ~SippPeer();
    SippPeer(const SippPeer&) = delete;
    SippPeer& operator=(const SippPeer&) = delete;

    // Runs `scenario` as the called side, listening on a free port; false (see Error()) when sipp could
    // not be started. Call WaitReady() before calling it.
    // With `port`, listens there instead (to stand in for a peer that went away from it).
    bool Start(const std::string& scenario, SipTransport transport = SipTransport::Udp, int port = 0);
    // Runs `scenario` as the calling side against `target` ("127.0.0.1:PORT").
    bool StartClient(const std::string& scenario, const std::string& target,
                     SipTransport transport = SipTransport::Udp);
    // Waits until sipp has bound its SIP port (UDP) or listens on it (TCP).
    bool WaitReady(Deadline deadline);
    const std::string& Error() const { return error_; }

    int Port() const { return port_; }
    // "sip:<user>@127.0.0.1:<Port()>", with ";transport=tcp" for TCP.
    std::string Uri(const std::string& user = "service") const;

    // Waits for sipp to end: its exit code, or nothing when it still runs at the deadline.
    std::optional<int> Wait(Deadline deadline);
    bool Running() { return process_.Running(); }
    // SIGTERM: sipp ends at once, writing out its trace (its exit code then says nothing about the
    // scenario); SIGKILL when it still runs at the deadline. The way to end a scenario that loops.
    std::optional<int> Stop(Deadline deadline = Within(std::chrono::seconds(5)));
    // SIGKILL: sipp vanishes at once (its trace misses what it had not written out yet).
    void Kill();

    // The SIP messages sipp received, in order, each as its text (start line, headers, body). sipp
    // writes its trace in blocks, so it is complete only once sipp has ended (Wait or Stop).
    std::vector<std::string> ReceivedMessages() const;
    // The received requests with `method` ("INVITE", "REGISTER", ...).
    std::vector<std::string> ReceivedRequests(const std::string& method) const;
    // True when the last received request that carries Authorization or Proxy-Authorization holds a
    // digest response that is right for `user` and `password`.
    bool CredentialsValid(const std::string& user, const std::string& password) const;

    // The trace of every message sent and received; the errors sipp logged; its screen output.
    std::string Messages() const;
    std::string Errors() const;
    std::string Screen() const;
    // Port, folder, exit code, errors and the end of the trace, for a failure message.
    std::string Describe();
    std::filesystem::path Folder() const;
    void KeepFolder(bool keep);

private:
    bool Launch(const std::string& scenario, SipTransport transport, const std::string& target);

    std::unique_ptr<TempFolder> folder_;
    ChildProcess process_;
    SipTransport transport_ = SipTransport::Udp;
    std::string error_;
    int port_ = 0;
    bool keep_ = false;
};

} // namespace sippeer
