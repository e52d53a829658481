// Turns the SDL window's keyboard and mouse events into the user's input path (platform::shell::User*). The
// screen's commands (turning the screen, closing the window) are answered by the caller; this only feeds the
// windows.
#pragma once

#include <SDL2/SDL.h>

namespace platform::screen {

enum class SdlAction {
    None,  // the event was input for the windows, or nothing of interest
    Turn,  // F5 or Ctrl+R: turn the screen
    Close, // the window was closed
};

// Handles one event; `zoom` scales window pixels down to screen pixels.
SdlAction HandleSdlEvent(const SDL_Event& event, int zoom);

} // namespace platform::screen
