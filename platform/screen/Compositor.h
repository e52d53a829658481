// The compositor makes the phone's screen out of the desktop: the visible top-level windows' surfaces
// stacked in z-order inside the work area, the caption bar above them and the soft-key bar below (see
// ScreenChrome.h). It keeps one frame, the size of the screen, and recomposes only the rectangles it is
// given, so that a meter that repainted its few pixels costs a copy of those pixels. A region covered by
// one window is copied from that window alone; the windows below it are not read.
//
// The caption bar shows the foreground window's caption (the topmost enabled window's), or, when it has
// none, as a menu's pop-up has not, the caption of the nearest window below it that has one.
// The bars are redrawn only when what they show changes (the foreground window, its caption or soft-key
// labels, the status text) or when the whole screen is recomposed. While the shell reports the display
// off (platform::shell::IsDisplayOn) the frame is black and stays black, whatever the windows do; the
// first composition after it comes on again recomposes everything.
//
// Compose may be called from any thread; compositions take turns. The frame's pixels are read under its
// lock (gdi::Surface::mutex()), or through snapshot().
#pragma once

#include "platform/gdi/Surface.h"
#include "platform/screen/ScreenChrome.h"
#include "platform/win/Desktop.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::screen {

class Compositor {
public:
    Compositor();
    Compositor(const Compositor&) = delete;
    Compositor& operator=(const Compositor&) = delete;

    // The composed frame. The same surface for the compositor's life; its size follows the screen's.
    std::shared_ptr<gdi::Surface> Frame() const { return frame_; }

    // Recomposes the given screen rectangles and answers the rectangles of the frame that changed
    // (empty when nothing did). When the screen's size changed, or the display came back on, the whole
    // screen is recomposed whatever was asked.
    std::vector<RECT> Compose(const std::vector<RECT>& dirty);
    std::vector<RECT> ComposeAll();

    // Counts the compositions that changed the frame; waiters wake at each.
    std::uint64_t Generation() const { return generation_.load(std::memory_order_acquire); }
    bool WaitForGeneration(std::uint64_t after, std::chrono::milliseconds timeout) const;

private:
    void ComposeWindows(const RECT& region, const std::vector<desktop::TopLevelView>& views);
    void RedrawBars(const desktop::ScreenLayout& layout, const std::vector<desktop::TopLevelView>& views,
                    std::vector<RECT>* changed);
    void Published();

    std::shared_ptr<gdi::Surface> frame_;

    std::mutex composeMutex_; // one composition at a time; guards the fields below
    bool dark_ = false;       // the frame was blacked for the display being off
    bool barsValid_ = false;
    CaptionBarContent caption_;
    SoftKeyBarContent softKeys_;

    std::atomic<std::uint64_t> generation_{0};
    mutable std::mutex waitMutex_;
    mutable std::condition_variable composed_;
};

} // namespace platform::screen
