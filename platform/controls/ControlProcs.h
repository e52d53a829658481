// The window procedures of the standard controls and the registration of their classes; one source file
// per control. Internal to the controls library.
#pragma once

#include "platform/win/WinApi.h"

#include <cstdint>
#include <optional>

namespace platform::controls {

void RegisterButtonClass();
void RegisterEditClass();
void RegisterStaticClass();
void RegisterProgressClass();
void RegisterTrackbarClass();

// Sends a WM_COMMAND notification (`code` in the high word, the control's id in the low word) to the
// control's parent.
void NotifyParent(HWND control, WORD code);

// What every control does alike: WM_ENABLE repaints (disabled controls look grey), WM_SETFONT and
// WM_GETFONT keep the font in *font (when the control has a slot for it), WM_SETTEXT stores the text and
// repaints, and WM_ERASEBKGND does nothing, as WM_PAINT paints the whole control. Nothing for any other
// message.
std::optional<LRESULT> CommonControlMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, HFONT* font);

// The client point a mouse message carries in lParam.
inline POINT PointFromLParam(LPARAM lParam) {
    const auto bits = static_cast<std::uintptr_t>(lParam);
    return POINT{static_cast<std::int16_t>(LOWORD(bits)), static_cast<std::int16_t>(HIWORD(bits))};
}

} // namespace platform::controls
