// Which messages a GetMessage or PeekMessage call asks for: a window (with its descendants), or only
// messages for no window, or any; and a range of message numbers (0, 0 for all). The window set is
// worked out once per retrieval, under the window lock, so that matching needs no lock at all.
#pragma once

#include "platform/win/WinTypes.h"

#include <algorithm>
#include <vector>

namespace platform::win {

struct MessageFilter {
    enum class Windows { Any, OnlyNone, These };
    Windows windows = Windows::Any;
    std::vector<HWND> these; // the window asked for and its descendants
    UINT first = 0;
    UINT last = 0;

    bool acceptsMessage(UINT message) const {
        return (first == 0 && last == 0) || (message >= first && message <= last);
    }
    bool acceptsWindow(HWND hwnd) const {
        switch (windows) {
        case Windows::Any:
            return true;
        case Windows::OnlyNone:
            return hwnd == nullptr;
        case Windows::These:
            return std::find(these.begin(), these.end(), hwnd) != these.end();
        }
        return false;
    }
    bool accepts(HWND hwnd, UINT message) const { return acceptsMessage(message) && acceptsWindow(hwnd); }
};

} // namespace platform::win
