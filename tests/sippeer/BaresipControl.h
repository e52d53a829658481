// The connection to a running baresip's ctrl_tcp module: commands go out as netstring-framed JSON
// ({"command":..,"params":..,"token":..}) and come back as responses carrying the same token; between
// them baresip sends its events (CALL_INCOMING, CALL_ESTABLISHED, CALL_CLOSED, ...) on the same
// connection. A reader thread sorts what arrives into replies and events.
//
// ctrl_tcp serves one connection at a time: a new connection makes baresip close the previous one, so
// nothing else may connect to a peer's control port while this connection is in use.
#pragma once

#include "tests/sippeer/Deadline.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sippeer {

// One event as baresip reports it.
struct BaresipEvent {
    std::string type;      // "CALL_INCOMING", "CALL_RINGING", "CALL_ESTABLISHED", "CALL_CLOSED", ...
    std::string account;   // the account's address ("sip:callee@127.0.0.1:PORT")
    std::string direction; // "incoming" or "outgoing"
    std::string peer;      // the far end's URI
    std::string id;        // the call's identifier
    std::string param;     // the event's detail (for CALL_CLOSED the reason, e.g. "end of file")
};

struct ControlReply {
    bool ok = false;
    std::string data; // the command's text output, or its error text
};

class BaresipControl {
public:
    BaresipControl() = default;
    ~BaresipControl();
    BaresipControl(const BaresipControl&) = delete;
    BaresipControl& operator=(const BaresipControl&) = delete;

    // Connects to 127.0.0.1:`port`, trying again while nothing listens yet; false at the deadline.
    bool Connect(int port, Deadline deadline);
    // Closes the connection and ends the reader thread.
    void Close();
    // True while the connection is open (baresip closes it when it ends).
    bool Connected() const;

    // Sends a command and waits for its reply; nothing when no reply came by the deadline.
    std::optional<ControlReply> Command(const std::string& command, const std::string& params,
                                        Deadline deadline);

    // Waits for the first not yet taken event of `type` and takes it; nothing at the deadline.
    std::optional<BaresipEvent> WaitForEvent(const std::string& type, Deadline deadline);
    // Every event received so far, in order (taken or not).
    std::vector<BaresipEvent> Events() const;

private:
    void ReadLoop();
    void Handle(const std::string& json);

    int fd_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    int nextToken_ = 1;
    std::map<std::string, ControlReply> replies_;
    std::deque<BaresipEvent> pending_;
    std::vector<BaresipEvent> history_;
};

} // namespace sippeer
