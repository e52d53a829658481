// The line-event thread of one initialised application. It takes queued messages in order and hands each
// to the application's callback, holding no lock while the callback runs. Just before a delivery it asks
// whether the message's subject (a call or a line) still exists, so that messages of a call released
// meanwhile are dropped. Posting never waits for the thread, whatever the callback is doing. It also
// runs timed tasks of the line layer (the connect timeout) at device times, so they take turns with the
// callback and never race it.
#pragma once

#include "platform/tapi/TelephonyService.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace platform::tapi {

// What a queued message is about; `handle` 0 means the message is delivered unconditionally.
struct MessageSubject {
    enum class Kind { None, Line, Call };
    Kind kind = Kind::None;
    DWORD handle = 0;
};

class EventThread {
public:
    // `stillValid` is called on the event thread, with no lock of the thread held.
    using SubjectCheck = std::function<bool(const MessageSubject&)>;

    EventThread(LINECALLBACK callback, SubjectCheck stillValid);
    ~EventThread(); // stops the thread (see Stop)
    EventThread(const EventThread&) = delete;
    EventThread& operator=(const EventThread&) = delete;

    void Post(const LineMessage& message, MessageSubject subject);

    // Runs `task` on the event thread once the device clock reaches `deviceMs`, between two deliveries
    // (queued messages go first). A task still waiting when the thread stops is dropped.
    void PostAt(std::uint64_t deviceMs, std::function<void()> task);

    // Drops what is still queued and ends the thread. When it returns, no further callback will start;
    // a callback that is running is waited for, unless Stop is called from inside it (on the event
    // thread), in which case the thread ends as soon as that callback returns.
    void Stop();

    bool IsEventThread() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace platform::tapi
