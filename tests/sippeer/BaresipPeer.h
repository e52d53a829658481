// A real SIP far end for tests: baresip (1.0.0) run headless on 127.0.0.1 with a private configuration
// folder, answering calls with file audio and recording what it hears.
//
// It has two accounts on one SIP port (UDP and TCP): AutoUri() answers every call at once and
// ManualUri() rings (180, no 100 Trying) until Accept() or Hangup(), which rejects the call with "486
// Rejected". Calls to any other user part get 404 Not Found.
//
// Into every call it sends a test tone (or the given WAV file); when that audio ends baresip hangs up
// by itself (CALL_CLOSED with "end of file"), so toneSeconds also sets how long the far end stays in a
// call. What it hears is written per call to a WAV file ("...-dec.wav", 8000 Hz mono 16-bit), returned
// by Recordings().
//
// Events: baresip reports CALL_INCOMING only for calls that ring (the manual account); both accounts
// report CALL_ESTABLISHED when a call is answered and CALL_CLOSED when it ends. CALL_CLOSED's param is
// the reason: "Connection reset by user" after Hangup(), "Connection reset by peer" after the far end's
// BYE, "end of file" when the tone ran out, or the far end's status line such as "486 Busy Here" for a
// call this peer placed with Dial().
//
// Everything runs from the test's thread; only the reader of the control connection has a thread of
// its own. The destructor stops baresip and removes the folder unless KeepFolder(true).
#pragma once

#include "tests/sippeer/BaresipControl.h"
#include "tests/sippeer/ChildProcess.h"
#include "tests/sippeer/Deadline.h"
#include "tests/sippeer/TempFolder.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sippeer {

struct BaresipOptions {
    double toneHz = 1000;              // the tone sent into every call
    double toneSeconds = 60;           // its length: the peer hangs up when it has been sent
    std::filesystem::path sourceWav;   // instead of the tone: this file (8000 Hz, mono, 16-bit)
    std::string autoUser = "callee";   // answers at once
    std::string manualUser = "manual"; // rings until Accept() or Hangup()
    std::string codecs = "PCMU,PCMA";  // offered and accepted audio codecs, in order
};

class BaresipPeer {
public:
    static constexpr const char* kProgram = "/usr/bin/baresip";

    BaresipPeer() = default;
    ~BaresipPeer();
    BaresipPeer(const BaresipPeer&) = delete;
    BaresipPeer& operator=(const BaresipPeer&) = delete;

    // Writes the configuration into a new private folder and starts baresip; false (see Error()) when
    // it could not be started. Call WaitReady() before calling the peer.
    bool Start(const BaresipOptions& options = {});
    // Waits until baresip listens on its SIP port (UDP and TCP) and the control connection is open.
    // A start that lost its ports to another process in the meantime is retried with new ones.
    bool WaitReady(Deadline deadline);
    const std::string& Error() const { return error_; }

    int SipPort() const { return sipPort_; }
    int CtrlPort() const { return ctrlPort_; }
    // "sip:<user>@127.0.0.1:<SipPort()>" (UDP; append ";transport=tcp" to call it over TCP)
    std::string Uri(const std::string& user) const;
    std::string AutoUri() const { return Uri(options_.autoUser); }
    std::string ManualUri() const { return Uri(options_.manualUser); }

    // Sends a command of baresip's menu ("hangup", "accept", "dial", "listcalls", ...) and waits for
    // its reply; nothing when none came in time.
    std::optional<ControlReply> Command(const std::string& command, const std::string& params = "",
                                        Deadline deadline = Within(std::chrono::seconds(5)));
    // Hangs up the current call: BYE for an established call, 486 for one that still rings. baresip
    // replies ok to hangup and accept even when there is no call; the events tell what happened.
    bool Hangup();
    // Answers the ringing call.
    bool Accept();
    // Calls `uri` from the auto account.
    bool Dial(const std::string& uri);
    // The number of calls baresip has (ringing or established); nothing when it did not answer.
    std::optional<int> ActiveCalls();

    // Waits for the first not yet taken event of `type` and takes it (see BaresipControl).
    std::optional<BaresipEvent> WaitForEvent(const std::string& type, Deadline deadline);
    std::vector<BaresipEvent> Events() const { return control_.Events(); }

    bool Running() { return process_.Running(); }
    // SIGKILL: the far end vanishes at once, mid-call if there is one, without a BYE.
    void Kill();
    // SIGTERM (baresip ends its calls with BYE), SIGKILL when it still runs at the deadline; the exit
    // code.
    std::optional<int> Stop(Deadline deadline = Within(std::chrono::seconds(5)));

    // The recordings of what this peer heard, one per call in call order, once baresip has closed them
    // (it closes a call's files shortly after CALL_CLOSED); waits for that until the deadline. Calls
    // that start within the same second share one file name, so the later overwrites the earlier.
    std::vector<std::filesystem::path> Recordings(Deadline deadline = Within(std::chrono::seconds(5)));
    // The same for what this peer sent ("...-enc.wav").
    std::vector<std::filesystem::path> SentRecordings(Deadline deadline = Within(std::chrono::seconds(5)));

    // baresip's own output.
    std::string Log() const;
    // Ports, folder, the events so far and the end of the log, for a failure message.
    std::string Describe() const;
    std::filesystem::path Folder() const;
    void KeepFolder(bool keep);

private:
    bool Launch();
    bool WriteConfiguration();
    bool RecordingsOpen();
    std::vector<std::filesystem::path> RecordingFiles(const std::string& suffix, Deadline deadline);

    BaresipOptions options_;
    std::unique_ptr<TempFolder> folder_;
    ChildProcess process_;
    BaresipControl control_;
    std::string error_;
    int sipPort_ = 0;
    int ctrlPort_ = 0;
    bool keep_ = false;
};

} // namespace sippeer
