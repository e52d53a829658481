// The session state record: which window and meter the other threads talk to, whether a monitoring session
// runs and its alarm is armed, the start countdown's bookkeeping and the output volume to restore. One
// instance, g_session, lives in static storage from program start to program end. It holds data only.
//
// Invariants: alarmArmed implies sessionActive (armed last when a session starts, disarmed first when it
// ends); countdownTicks is 0 whenever no countdown runs; mainDialog and levelMeter are set once, while the
// main window initialises, and never cleared.
//
// Threads: every field is written on the window thread. The capture callback reads alarmArmed and
// levelMeter for every buffer, and the alarm thread uses mainDialog. mainDialog and levelMeter are stored
// with release once their objects are complete and loaded with acquire. alarmArmed publishes the alarm step
// and phone number of MonitorSettings, written before it is set: store it with release, load it with
// acquire (the default sequentially consistent operations do both). The other fields are used on the
// window thread only; they are atomic so that a test or a probe on another thread may read them.
#pragma once

#include <atomic>
#include <cstdint>

class CDialog;
class CProgressCtrl;

struct MonitorSession {
    // The main window (a CMainDialog); other threads use its window handle. Held as its framework base so
    // that the parts that only need the handle do not depend on the main window's class.
    std::atomic<CDialog*> mainDialog{nullptr};
    std::atomic<CProgressCtrl*> levelMeter{nullptr};
    std::atomic<bool> sessionActive{false};
    std::atomic<bool> tickInProgress{false};
    std::atomic<std::int32_t> countdownTicks{0};
    std::atomic<bool> alarmArmed{false};
    // The wave-output volume word as the platform reported it when the session started.
    std::atomic<std::uint32_t> savedVolume{0};
};

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<std::int32_t>::is_always_lock_free &&
                  std::atomic<CDialog*>::is_always_lock_free,
              "the session's flags must be single loads and stores");

extern MonitorSession g_session;
