// The device's standard controls and where their window classes come from.
//
// RegisterControlClasses makes the classes "BUTTON", "EDIT", "STATIC", "msctls_progress32" and
// "msctls_trackbar32" known to the window manager. It may be called any number of times from any thread;
// the first call registers and later calls return at once. The shell's SHInitExtraControls, MessageBox,
// the framework's dialogs and the host all call it, so a program never has to.
#pragma once

namespace platform::controls {

inline constexpr wchar_t kButtonClass[] = L"BUTTON";
inline constexpr wchar_t kEditClass[] = L"EDIT";
inline constexpr wchar_t kStaticClass[] = L"STATIC";
inline constexpr wchar_t kProgressClass[] = L"msctls_progress32";
inline constexpr wchar_t kTrackbarClass[] = L"msctls_trackbar32";

void RegisterControlClasses();

} // namespace platform::controls
