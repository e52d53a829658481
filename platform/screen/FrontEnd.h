// A front-end shows the composed screen somewhere and, if it can, takes the user's input. A front-end
// with a display runs a thread of its own, the screen thread: when woken it takes the rectangles that
// were composed since it last looked and presents them. Input goes into the user's input path
// (platform::shell::User*); a front-end never runs a window procedure and never waits for a window
// thread.
#pragma once

#include "platform/gdi/Surface.h"
#include "platform/win/WinTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::screen {

// What a front-end asks of the screen it belongs to (implemented by Screen).
class FrontEndHost {
public:
    // The rectangles of the frame composed since the last call, to be presented.
    virtual std::vector<RECT> TakeComposed() = 0;
    // The composed frame (its size follows the screen's).
    virtual std::shared_ptr<gdi::Surface> Frame() const = 0;
    // The user asked to turn the screen (portrait <-> landscape).
    virtual void Turn() = 0;
    // The user closed the front-end's window: end the program as its OK soft key would.
    virtual void RequestClose() = 0;

protected:
    ~FrontEndHost() = default;
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    virtual const char* Name() const = 0;

    // Starts the screen thread; false with `error` when the front-end cannot run (no display...).
    virtual bool Start(FrontEndHost& host, std::string* error) = 0;

    // Something was composed: present it soon. Any thread; cheap; never blocks for long.
    virtual void Wake() = 0;

    // Ends the screen thread (and closes any window). Idempotent.
    virtual void Stop() = 0;
};

} // namespace platform::screen
