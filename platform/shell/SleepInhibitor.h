// Keeps the machine from suspending while the program asks: a systemd-logind inhibitor ("block" mode,
// who "Lullwatch") taken over the system bus for sleep and, where logind allows it, for the lid switch,
// so that neither the idle timeout nor closing a laptop's lid suspends a listening monitor. The display
// may still go dark.
//
// Requests are counted: the first Acquire takes the inhibitor, the last Release closes its descriptor,
// which tells logind to drop it (the kernel closes it too when the process dies). Both return at once:
// the work runs on the system bus's thread, and the caller never waits for logind. When there is no
// system bus or logind, or logind refuses, a line on standard error says why (once for the same reason)
// and the SleepInhibitor indicator stays raised until the last Release.
#pragma once

namespace platform::shell {

void AcquireSleepInhibitor();
void ReleaseSleepInhibitor();
// Drops every request and closes the inhibitor (the host's shutdown, before the system bus ends).
void ReleaseAllSleepInhibitors();

} // namespace platform::shell
