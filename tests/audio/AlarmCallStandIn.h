// The tests' stand-in for the telephony library's PlaceAlarmCall: it records each call (with the state of
// the capture device at that moment) and, when told to, holds the calling alarm thread until released,
// as a call in progress does.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

namespace audiotest {

struct AlarmCall {
    std::wstring number;
    HINSTANCE instance;
    HWND parent;
    DWORD threadId;
    bool deviceOpen; // the capture device was open when the call was placed
};

class AlarmCalls {
public:
    static AlarmCalls& Get();

    // Calls from now on wait in PlaceAlarmCall until ReleaseAll (true) or return at once (false).
    void SetHolding(bool hold);
    // Lets every call that waits return, and the later ones too until SetHolding(true) again.
    void ReleaseAll();
    // Forgets the calls recorded so far (and releases the waiting ones).
    void Reset();

    std::vector<AlarmCall> Calls();
    std::size_t Count();
    bool WaitForCount(std::size_t count);

    void Place(LPCWSTR number, HINSTANCE instance, HWND parent);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<AlarmCall> calls_;
    bool holding_ = false;
    unsigned releases_ = 0;
};

} // namespace audiotest
