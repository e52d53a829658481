// The front-end in an SDL2 window on the desktop's display. Its screen thread owns everything SDL: it
// opens the window, turns SDL events into the desktop's input path and presents composed frames. It
// draws into the window's own surface, no renderer and no GL driver behind it, copies only the
// rectangles that were composed and sleeps until something changes. The screen is shown scaled by a
// whole zoom factor, pixels kept sharp; with kZoomFit the window fills the display (a phone's own
// screen) and SDL's software renderer picks the largest whole factor that fits, centring the picture.
// The desktop's screen saver is kept off while a monitoring session holds unattended mode
// (platform/shell/Power.h), and left to the desktop otherwise.
//
// Input, as on the phone: a left click or drag of the mouse is the stylus; the arrow keys, Enter,
// Escape, Tab (Shift+Tab), Backspace, Delete, Home, End and typed text go to the focused window; F1 and
// F2 are the left and right soft keys; F5 or Ctrl+R turns the screen between portrait and landscape.
// Closing the window ends the program as the left soft key "OK" of its main window would (the host
// decides how; see FrontEndHost::RequestClose).
//
// The front-end lives in the module lullwatch-sdl.so, so that a program without a window never maps SDL
// and the libraries under it; the screen makes it through the module's entry point below.
#pragma once

#include "platform/screen/FrontEnd.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace platform::screen {

class SdlFrontEnd final : public FrontEnd {
public:
    static constexpr int kZoomFit = 0;

    explicit SdlFrontEnd(int zoom);
    ~SdlFrontEnd() override;

    const char* Name() const override { return "sdl"; }
    bool Start(FrontEndHost& host, std::string* error) override;
    void Wake() override;
    void Stop() override;

private:
    class Window;
    void Run(FrontEndHost& host, Window& window);
    // Unattended mode changed (any thread): the screen thread looks at it again.
    void WakeForScreenSaver();
    // Screen thread: the screen saver off while unattended mode is held, on otherwise.
    void KeepScreenOn();

    const int zoom_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> wakePending_{false};
    std::atomic<bool> screenSaverCheck_{false};
    std::atomic<std::uint32_t> wakeEvent_{0}; // an SDL user event type; 0 until the thread runs
    std::thread thread_;
};

} // namespace platform::screen

// The module's entry point: a new SDL front-end at `zoom`, owned by the caller.
extern "C" platform::screen::FrontEnd* lullwatch_sdl_front_end(int zoom);
