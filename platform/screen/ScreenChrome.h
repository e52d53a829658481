// The parts of the phone screen that belong to no window: the caption bar at the top, with the
// foreground window's caption on the left and the device's status text on the right, and the soft-key
// bar at the bottom, with the labels of the foreground window's two soft keys. Both are drawn with the
// platform's own drawing calls into the composed frame.
#pragma once

#include "platform/gdi/Surface.h"
#include "platform/win/WinTypes.h"

#include <memory>
#include <string>

namespace platform::screen {

struct CaptionBarContent {
    std::wstring caption;
    std::wstring status;
    std::wstring warning; // what the monitor cannot do now; shown instead of the status, in warning colours
    bool operator==(const CaptionBarContent&) const = default;
};

struct SoftKeyBarContent {
    std::wstring left;
    std::wstring right;
    bool operator==(const SoftKeyBarContent&) const = default;
};

// The bars' colours, as pixels (0x00RRGGBB), for whoever checks a frame.
constexpr std::uint32_t kCaptionBarPixel = 0x103478;
constexpr std::uint32_t kWarningPixel = 0xC62828; // the warning's background in the caption bar
constexpr std::uint32_t kSoftKeyBarPixel = 0x1C1C1C;
constexpr std::uint32_t kDesktopPixel = 0x000000; // where no window covers the work area

// Draw the bar into `frame` over `bar` (frame coordinates). They take the frame's lock per drawing
// call, so the caller must not hold it.
void DrawCaptionBar(const std::shared_ptr<gdi::Surface>& frame, const RECT& bar,
                    const CaptionBarContent& content);
void DrawSoftKeyBar(const std::shared_ptr<gdi::Surface>& frame, const RECT& bar,
                    const SoftKeyBarContent& content);

} // namespace platform::screen
