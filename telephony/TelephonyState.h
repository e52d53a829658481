// The telephony record: the one process-wide record of the program's use of the line devices, and the
// description of one line device (LineInfo). It holds data only; the line set-up, the device table, the
// alarm call, the line callback and the call window work on it.
//
// Threads: the window thread starts and ends the use of TAPI, the alarm thread places the call and runs
// the call window, and the platform's line-event thread runs the line callback. Every field is read and
// written with `lock` held, and handles are taken and cleared under it, so a call is released once even
// when "Hang Up" and an ending event arrive together. The lock is held across line functions (they never
// wait for the event thread) but never across a message box, a dialog's modal loop, a SendMessage to
// another thread's window, or lineShutdown (which waits for a running callback).
#pragma once

#include "platform/tapi/Tapi.h"

#include <mutex>

struct LineInfo {
    HLINE hLine;           // 0 when the line is closed; only currentLine's is ever set
    DWORD voiceCapable;    // dwMediaModes & LINEMEDIAMODE_INTERACTIVEVOICE: 4 or 0
    DWORD apiVersion;      // negotiated: major in the high 16 bits, minor in the low 16
    DWORD numAddresses;    // dwNumAddresses
    DWORD permanentLineId; // dwPermanentLineID
    wchar_t lineName[256]; // the device's line name, or "Line <n>"; terminated
};

constexpr DWORD kNoDevice = 0xFFFFFFFF;
constexpr int kDisplayNumberLength = 80;

struct TelephonyState {
    // --- The line devices ---
    HLINEAPP hLineApp = 0;           // the usage handle; 0 until start-up succeeds and after shutdown
    DWORD lineDeviceCount = 0;       // from lineInitialize, raised by AddLineDevice
    LineInfo* deviceTable = nullptr; // zero-filled records; record 0 is the start-up scan's working record
    DWORD deviceTableSize = 0;       // how many records deviceTable holds
    LineInfo currentLine{};          // the chosen device's record; hLine while a call's line is open
    DWORD currentDeviceId = kNoDevice;

    // --- The alarm call ---
    wchar_t displayNumber[kDisplayNumberLength + 1]{}; // the number as the call window shows it
    HCALL hCall = 0;
    LONG makeCallRequest = 0;  // lineMakeCall's result for the current placement
    HWND callWindow = nullptr; // the call window while it is up
    // Set when the current placement's call has been ended by an event; a call window that is created
    // after that closes itself at once.
    bool callEnded = false;

    std::mutex lock;
};

extern TelephonyState g_telephony;
