// The status text at the right of the caption bar: a short note that a device service wants on screen
// at all times, such as the label of a simulated telephony line, so that a demo is never mistaken for
// the real thing. One text for the whole device; the host sets it from the services it starts.
#pragma once

#include <functional>
#include <string>

namespace platform::screen {

// Sets the text (empty: none) and tells the screen to redraw its caption bar. Any thread.
void SetStatusText(std::wstring text);
std::wstring StatusText();

// Called after every change of the text, on the thread that changed it. One listener (the screen);
// nullptr removes it.
void SetStatusTextListener(std::function<void()> listener);

} // namespace platform::screen
