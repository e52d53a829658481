// The power manager's calls for programs.
//
// SetSystemPowerState with POWER_STATE_IDLE in the flags switches the display off; POWER_STATE_ON
// switches it on again. The state name and the options are not used. Everything else (capture,
// detection, timers, calls) goes on while the display is dark; the user's next key press or click
// switches it on and is not delivered (see platform/shell/Power.h). Other power states are not supported
// (ERROR_NOT_SUPPORTED); the two above return ERROR_SUCCESS.
//
// SystemIdleTimerReset is the call that keeps the device awake while it is made, once per capture buffer
// while an alarm is armed. It records the time of the call with one atomic store and returns: it never
// blocks and never allocates. Linux here is not put to sleep by the platform, so nothing more is needed;
// the time of the last call is there for the automation channel.
//
// PowerPolicyNotify with PPN_UNATTENDEDMODE asks (dwData TRUE) that the machine keep running and its
// screen stay awake, and gives that back (FALSE); requests are counted, and the machine may sleep again
// once each has been given back. A session holds one from its start to its end. The machine is kept
// running by a systemd-logind sleep inhibitor (platform/shell/SleepInhibitor.h); the call returns at
// once, and a machine that cannot be kept awake shows the SleepInhibitor indicator instead of failing
// the call. Other messages are accepted and ignored. Returns TRUE.
#pragma once

#include "platform/win/WinTypes.h"

constexpr DWORD POWER_STATE_ON = 0x00010000;
constexpr DWORD POWER_STATE_OFF = 0x00020000;
constexpr DWORD POWER_STATE_CRITICAL = 0x00040000;
constexpr DWORD POWER_STATE_BOOT = 0x00080000;
constexpr DWORD POWER_STATE_IDLE = 0x00100000;
constexpr DWORD POWER_STATE_SUSPEND = 0x00200000;
constexpr DWORD POWER_STATE_RESET = 0x00800000;
constexpr DWORD POWER_FORCE = 0x00001000;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD PPN_UNATTENDEDMODE = 0x0003;

DWORD SetSystemPowerState(LPCWSTR pwsSystemState, DWORD StateFlags, DWORD Options);
void SystemIdleTimerReset();
BOOL PowerPolicyNotify(DWORD dwMessage, DWORD dwData);
