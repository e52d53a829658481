// A private PulseAudio server for the ALSA tests, so that real ALSA capture and mixer code can run on
// a machine without sound hardware. It runs in a temporary directory of its own (runtime directory,
// home, client configuration) with one null sink "lw" at 8000 Hz, unsigned 8-bit, mono. What is
// played into the sink can be captured from its monitor through ALSA's pulse plugin (device
// "pulse:lw.monitor"); the pulse control plugin (card "pulse") exposes the sink's volume as "Master".
// The server is the test process's child: it is killed and reaped by the destructor, and dies with
// the test process if that dies first.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "WaveTestSupport.h"

namespace wavetest {

class PulseServer {
public:
    // The full path of `program` on PATH, or "" when it is not installed.
    static std::string Find(const std::string& program);

    PulseServer() = default;
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server and points this process's pulse clients at it (environment variables).
    bool Start(std::string* error);

    // Kills the server at once (SIGKILL) and reaps it.
    void Kill();

    // Plays raw unsigned 8-bit 8000 Hz mono bytes into the sink and waits until the player ends.
    bool Play(const std::vector<BYTE>& bytes, std::string* error);

    // Runs a client program with arguments and returns what it printed; false if it failed or did not
    // end within `deadline`.
    bool Run(const std::vector<std::string>& argv, std::string* output,
             std::chrono::milliseconds deadline = kDeadline);

    // The server's own messages, for a failure's explanation.
    std::string Log() const;

private:
    TempDir dir_;
    pid_t pid_ = -1;
};

} // namespace wavetest
