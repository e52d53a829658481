// Ending the program from outside: the automation channel's quit, the SDL window's close button, the end
// of the controller's input, SIGINT and SIGTERM all come here. The program is asked to end the way a user
// ends it: modal windows over its main window are cancelled (as with Escape, topmost first) and its main
// window gets the OK command (WM_COMMAND IDOK, what the left soft key "OK" sends). The main window is
// the bottom-most top-level window without an owner.
//
// A request made while the program is still starting, before its main window exists, is kept: until the
// program has returned, each program window that appears and has not had its command yet gets it then.
//
// The program then has a grace period of real time to return from AfxWinMain; a program that does not
// (it hangs, or it never made a window) is ended with exit code 3 and a message on standard error.
#pragma once

#include "platform/win/WinTypes.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::host {

// Posts the commands described above to the windows that are not in `done` (when given), and adds them to
// it; returns at once.
void CloseProgramWindows(std::vector<HWND>* done = nullptr);

class ProgramEnd {
public:
    static constexpr std::chrono::seconds kGrace{20};

    explicit ProgramEnd(std::string name, std::chrono::milliseconds grace = kGrace);
    ~ProgramEnd();
    ProgramEnd(const ProgramEnd&) = delete;
    ProgramEnd& operator=(const ProgramEnd&) = delete;

    // Asks the program to end (`why` goes to standard error). Any thread; later requests only repeat
    // the commands, they do not extend the grace period.
    void Request(const std::string& why);
    bool Requested() const;

    // The program has returned; the watchdog stands down.
    void Finished();

private:
    void Watch();

    const std::string name_;
    const std::chrono::milliseconds grace_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool requested_ = false;
    bool finished_ = false;
    std::vector<HWND> closed_; // the windows that have had their command
    std::thread watchdog_;
};

} // namespace platform::host
