// Waiting for a composed frame that shows what a test expects, and looking at its pixels.
#pragma once

#include "platform/screen/Compositor.h"

#include <chrono>
#include <functional>

namespace testing_support {

// Waits (real time) until `holds` is true of the compositor's frame, checking after every composition.
bool WaitForFrame(const platform::screen::Compositor& compositor,
                  const std::function<bool(const platform::gdi::Image&)>& holds,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10));

// How many pixels of `area` in the image have the value `pixel`.
int CountPixels(const platform::gdi::Image& image, const RECT& area, std::uint32_t pixel);

// How many pixels of `area` differ from `pixel`.
int CountOtherPixels(const platform::gdi::Image& image, const RECT& area, std::uint32_t pixel);

} // namespace testing_support
