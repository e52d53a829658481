// The phone's screen as a running whole: the compositor, the front-end that shows it, and the wiring
// that tells them when something changed (the desktop's change listener, the status text, the shell's
// display power). The host makes one at start-up and stops it when the program has ended; the automation
// channel uses it for snapshots, turning the screen and the display state.
//
// A change note is composed at once, on the thread that made the change (a window thread that has just
// painted, usually): only the rectangle it names is recomposed, and the front-end is woken to present
// what was composed. So a meter update reaches the frame without waiting for another thread, and the
// front-end's thread only presents.
#pragma once

#include "platform/screen/Compositor.h"
#include "platform/screen/DirtyRegion.h"
#include "platform/screen/FrontEnd.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace platform::screen {

enum class FrontEndChoice {
    Auto,     // SDL when a display is present, else headless
    Sdl,      // SDL, or fail to start
    Headless, // never a window
};

// True when $DISPLAY or $WAYLAND_DISPLAY names a display.
bool DisplayPresent();

// The front-end for `choice`; with Auto, `note` says which was taken and why (for the user).
std::unique_ptr<FrontEnd> MakeFrontEnd(FrontEndChoice choice, int zoom, std::string* note);

class Screen final : private FrontEndHost {
public:
    explicit Screen(std::unique_ptr<FrontEnd> frontEnd);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // What to do when the user closes the front-end's window. Set before Start.
    void SetCloseHandler(std::function<void()> handler);

    // Starts listening for changes and the front-end's screen thread; false with `error` when the
    // front-end cannot run.
    bool Start(std::string* error);
    // Stops listening and ends the screen thread. Idempotent; called by the destructor.
    void Stop();

    const char* FrontEndName() const { return frontEnd_->Name(); }

    // The whole screen composed now from the windows as they are, as a copy or as a PNG file.
    gdi::Image Snapshot();
    bool WriteSnapshot(const std::string& path, std::string* error);

    // Swaps the screen's width and height (portrait <-> landscape).
    void Turn() override;

    // The shell's display state, which the frame shows (black while off).
    bool DisplayOn() const;

    Compositor& compositor() { return *compositor_; }

private:
    // What the listeners share with the screen; it outlives the Screen for late change notes, which find
    // no compositor then and do nothing.
    struct Shared {
        DirtyRegion composed; // composed, not yet presented
        std::mutex mutex;
        std::shared_ptr<Compositor> compositor; // guarded by mutex; null while not started
        FrontEnd* frontEnd = nullptr;           // guarded by mutex; null while not started
        void Changed(const RECT& rect);
        void Composed(const std::vector<RECT>& rects);
    };

    void Unlisten();
    std::vector<RECT> TakeComposed() override;
    std::shared_ptr<gdi::Surface> Frame() const override { return compositor_->Frame(); }
    void RequestClose() override;

    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    std::shared_ptr<Compositor> compositor_ = std::make_shared<Compositor>();
    std::unique_ptr<FrontEnd> frontEnd_;
    std::function<void()> closeHandler_;
    int indicatorListener_ = 0;
    bool started_ = false;
};

} // namespace platform::screen
