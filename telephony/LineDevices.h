// The table of line devices: what one device offers (QueryLineDevice) and the growth of the table when
// the platform reports a new device (AddLineDevice). Both read the usage handle of g_telephony.
#pragma once

#include "telephony/TelephonyState.h"

// Negotiates an API version (TAPI 1.3 to 2.0) with device `device` and fills `record` from its
// capabilities: permanent line id, number of addresses, whether it carries interactive voice, and its
// line name (or "Line <device>" when it reports none). Returns 0 or a LINEERR_ code; a failed
// negotiation leaves the record as it was, a failed capability query leaves only apiVersion written.
// The caller holds g_telephony.lock (the record may be part of the device table).
LONG QueryLineDevice(DWORD device, LineInfo* record);

// A new line device `device` (LINE_CREATE): when it lies beyond the devices known, the count is raised to
// device + 1 and the table grows to as many records, the last one queried from the device. The device
// used for alarm calls does not change. Does nothing once telephony has been shut down. Takes
// g_telephony.lock; runs on the line-event thread.
void AddLineDevice(DWORD device);
