#include "telephony/TelephonyState.h"

constinit TelephonyState g_telephony;
