// The telephony line API of the device: TAPI 2.0 line functions, their types, structures and constants,
// with the names and values the device's TAPI gives them.
//
// How the platform behaves behind these functions:
// - A usage handle (HLINEAPP), a line handle (HLINE) and a call handle (HCALL) are 32-bit numbers; 0 is
//   never a valid handle. Handles are never reused within a run, so a stale handle is always refused
//   (LINEERR_INVAL...HANDLE) instead of naming something else.
// - Every initialised application gets a line-event thread of its own. The platform calls the
//   application's LINECALLBACK only on that thread, one message at a time, in the order the events
//   happened, and never while it holds a lock: the callback may call any line function (lineDrop,
//   lineDeallocateCall, lineClose, even lineShutdown), send messages to windows of other threads and block
//   in a message box. While it blocks, later events wait; the line functions never wait for the event
//   thread, so other threads may go on calling them (and may hold a lock of their own across a call that
//   the callback also takes).
// - After lineShutdown has returned, no message reaches that application's callback and its event thread
//   has ended. A lineShutdown made from inside the callback takes effect when the callback returns.
// - Asynchronous functions (lineMakeCall, lineDrop) return a positive request identifier at once; the
//   outcome follows as LINE_REPLY with param1 = that identifier and param2 = the result (0 or a LINEERR_
//   code, as a 32-bit unsigned value). Request identifiers are never reused within a run.
// - lineMakeCall writes the new HCALL to the caller's variable before it returns (and 0 when it refuses),
//   so the handle is in place before any event of the call can be delivered. The handle stays valid until
//   lineDeallocateCall, lineClose or lineShutdown, whatever state the call reaches; LINE_CALLSTATE messages
//   of a call that has been deallocated are not delivered.
// - lineDeallocateCall succeeds in every call state; a call still in progress is hung up silently.
// - Callback arguments: `device` is the HCALL for LINE_CALLSTATE, the HLINE for LINE_CLOSE and for
//   LINE_LINEDEVSTATE (the device number when the application has no line open on that device), and 0 for
//   LINE_REPLY and LINE_CREATE. All six arguments carry 32-bit unsigned values.
#pragma once

#include "platform/win/WinTypes.h"

using LPCSTR = const char*;

using HLINEAPP = DWORD;
using HLINE = DWORD;
using HCALL = DWORD;
using LPHLINEAPP = HLINEAPP*;
using LPHLINE = HLINE*;
using LPHCALL = HCALL*;

using LINECALLBACK = void (*)(DWORD device, DWORD message, DWORD_PTR instance, DWORD_PTR param1,
                              DWORD_PTR param2, DWORD_PTR param3);

// API versions: the platform offers TAPI_VERSION1_0 (1.3) to TAPI_VERSION2_0.
constexpr DWORD TAPI_VERSION1_0 = 0x00010003;
constexpr DWORD TAPI_VERSION1_4 = 0x00010004;
constexpr DWORD TAPI_VERSION2_0 = 0x00020000;

// Line messages (the callback's `message`).
constexpr DWORD LINE_ADDRESSSTATE = 0;
constexpr DWORD LINE_CALLINFO = 1;
constexpr DWORD LINE_CALLSTATE = 2;
constexpr DWORD LINE_CLOSE = 3;
constexpr DWORD LINE_DEVSPECIFIC = 4;
constexpr DWORD LINE_DEVSPECIFICFEATURE = 5;
constexpr DWORD LINE_GATHERDIGITS = 6;
constexpr DWORD LINE_GENERATE = 7;
constexpr DWORD LINE_LINEDEVSTATE = 8;
constexpr DWORD LINE_MONITORDIGITS = 9;
constexpr DWORD LINE_MONITORMEDIA = 10;
constexpr DWORD LINE_MONITORTONE = 11;
constexpr DWORD LINE_REPLY = 12;
constexpr DWORD LINE_REQUEST = 13;
constexpr DWORD LINE_CREATE = 19;

// Call states (LINE_CALLSTATE param1).
constexpr DWORD LINECALLSTATE_IDLE = 0x00000001;
constexpr DWORD LINECALLSTATE_OFFERING = 0x00000002;
constexpr DWORD LINECALLSTATE_ACCEPTED = 0x00000004;
constexpr DWORD LINECALLSTATE_DIALTONE = 0x00000008;
constexpr DWORD LINECALLSTATE_DIALING = 0x00000010;
constexpr DWORD LINECALLSTATE_RINGBACK = 0x00000020;
constexpr DWORD LINECALLSTATE_BUSY = 0x00000040;
constexpr DWORD LINECALLSTATE_SPECIALINFO = 0x00000080;
constexpr DWORD LINECALLSTATE_CONNECTED = 0x00000100;
constexpr DWORD LINECALLSTATE_PROCEEDING = 0x00000200;
constexpr DWORD LINECALLSTATE_ONHOLD = 0x00000400;
constexpr DWORD LINECALLSTATE_CONFERENCED = 0x00000800;
constexpr DWORD LINECALLSTATE_ONHOLDPENDCONF = 0x00001000;
constexpr DWORD LINECALLSTATE_ONHOLDPENDTRANSFER = 0x00002000;
constexpr DWORD LINECALLSTATE_DISCONNECTED = 0x00004000;
constexpr DWORD LINECALLSTATE_UNKNOWN = 0x00008000;

// Details of a call state (LINE_CALLSTATE param2).
constexpr DWORD LINEDIALTONEMODE_NORMAL = 0x00000001;
constexpr DWORD LINEBUSYMODE_STATION = 0x00000001;
constexpr DWORD LINEDISCONNECTMODE_NORMAL = 0x00000001;
constexpr DWORD LINEDISCONNECTMODE_UNKNOWN = 0x00000002;
constexpr DWORD LINEDISCONNECTMODE_REJECT = 0x00000004;
constexpr DWORD LINEDISCONNECTMODE_PICKUP = 0x00000008;
constexpr DWORD LINEDISCONNECTMODE_FORWARDED = 0x00000010;
constexpr DWORD LINEDISCONNECTMODE_BUSY = 0x00000020;
constexpr DWORD LINEDISCONNECTMODE_NOANSWER = 0x00000040;
constexpr DWORD LINEDISCONNECTMODE_BADADDRESS = 0x00000080;
constexpr DWORD LINEDISCONNECTMODE_UNREACHABLE = 0x00000100;
constexpr DWORD LINEDISCONNECTMODE_CONGESTION = 0x00000200;
constexpr DWORD LINEDISCONNECTMODE_INCOMPATIBLE = 0x00000400;
constexpr DWORD LINEDISCONNECTMODE_UNAVAIL = 0x00000800;
constexpr DWORD LINEDISCONNECTMODE_NODIALTONE = 0x00001000;

// Line device states (LINE_LINEDEVSTATE param1).
constexpr DWORD LINEDEVSTATE_OTHER = 0x00000001;
constexpr DWORD LINEDEVSTATE_RINGING = 0x00000002;
constexpr DWORD LINEDEVSTATE_CONNECTED = 0x00000004;
constexpr DWORD LINEDEVSTATE_DISCONNECTED = 0x00000008;
constexpr DWORD LINEDEVSTATE_MSGWAITON = 0x00000010;
constexpr DWORD LINEDEVSTATE_MSGWAITOFF = 0x00000020;
constexpr DWORD LINEDEVSTATE_INSERVICE = 0x00000040;
constexpr DWORD LINEDEVSTATE_OUTOFSERVICE = 0x00000080;
constexpr DWORD LINEDEVSTATE_MAINTENANCE = 0x00000100;
constexpr DWORD LINEDEVSTATE_OPEN = 0x00000200;
constexpr DWORD LINEDEVSTATE_CLOSE = 0x00000400;
constexpr DWORD LINEDEVSTATE_NUMCALLS = 0x00000800;
constexpr DWORD LINEDEVSTATE_NUMCOMPLETIONS = 0x00001000;
constexpr DWORD LINEDEVSTATE_TERMINALS = 0x00002000;
constexpr DWORD LINEDEVSTATE_ROAMMODE = 0x00004000;
constexpr DWORD LINEDEVSTATE_BATTERY = 0x00008000;
constexpr DWORD LINEDEVSTATE_SIGNAL = 0x00010000;
constexpr DWORD LINEDEVSTATE_DEVSPECIFIC = 0x00020000;
constexpr DWORD LINEDEVSTATE_REINIT = 0x00040000;
constexpr DWORD LINEDEVSTATE_LOCK = 0x00080000;
constexpr DWORD LINEDEVSTATE_CAPSCHANGE = 0x00100000;
constexpr DWORD LINEDEVSTATE_CONFIGCHANGE = 0x00200000;
constexpr DWORD LINEDEVSTATE_TRANSLATECHANGE = 0x00400000;
constexpr DWORD LINEDEVSTATE_COMPLCANCEL = 0x00800000;
constexpr DWORD LINEDEVSTATE_REMOVED = 0x01000000;

// Media modes.
constexpr DWORD LINEMEDIAMODE_UNKNOWN = 0x00000002;
constexpr DWORD LINEMEDIAMODE_INTERACTIVEVOICE = 0x00000004;
constexpr DWORD LINEMEDIAMODE_AUTOMATEDVOICE = 0x00000008;
constexpr DWORD LINEMEDIAMODE_DATAMODEM = 0x00000010;
constexpr DWORD LINEMEDIAMODE_G3FAX = 0x00000020;
constexpr DWORD LINEMEDIAMODE_TDD = 0x00000040;
constexpr DWORD LINEMEDIAMODE_G4FAX = 0x00000080;
constexpr DWORD LINEMEDIAMODE_DIGITALDATA = 0x00000100;

// Call privileges (lineOpen).
constexpr DWORD LINECALLPRIVILEGE_NONE = 0x00000001;
constexpr DWORD LINECALLPRIVILEGE_MONITOR = 0x00000002;
constexpr DWORD LINECALLPRIVILEGE_OWNER = 0x00000004;

// Capability values the platform reports.
constexpr DWORD STRINGFORMAT_UNICODE = 0x00000003;
constexpr DWORD LINEADDRESSMODE_ADDRESSID = 0x00000001;
constexpr DWORD LINEBEARERMODE_VOICE = 0x00000001;
constexpr DWORD LINEFEATURE_MAKECALL = 0x00000010;

// Result codes: 0 for success, a positive request identifier, or one of these negative codes.
constexpr LONG LINEERR_ALLOCATED = static_cast<LONG>(0x80000001u);
constexpr LONG LINEERR_BADDEVICEID = static_cast<LONG>(0x80000002u);
constexpr LONG LINEERR_CALLUNAVAIL = static_cast<LONG>(0x80000005u);
constexpr LONG LINEERR_INCOMPATIBLEAPIVERSION = static_cast<LONG>(0x8000000Cu);
constexpr LONG LINEERR_INCOMPATIBLEEXTVERSION = static_cast<LONG>(0x8000000Du);
constexpr LONG LINEERR_INUSE = static_cast<LONG>(0x8000000Fu);
constexpr LONG LINEERR_INVALADDRESS = static_cast<LONG>(0x80000010u);
constexpr LONG LINEERR_INVALAPPHANDLE = static_cast<LONG>(0x80000014u);
constexpr LONG LINEERR_INVALAPPNAME = static_cast<LONG>(0x80000015u);
constexpr LONG LINEERR_INVALCALLHANDLE = static_cast<LONG>(0x80000018u);
constexpr LONG LINEERR_INVALCALLPARAMS = static_cast<LONG>(0x80000019u);
constexpr LONG LINEERR_INVALCALLSTATE = static_cast<LONG>(0x8000001Cu);
constexpr LONG LINEERR_INVALLINEHANDLE = static_cast<LONG>(0x8000002Bu);
constexpr LONG LINEERR_INVALMEDIAMODE = static_cast<LONG>(0x8000002Fu);
constexpr LONG LINEERR_INVALPARAM = static_cast<LONG>(0x80000032u);
constexpr LONG LINEERR_INVALPOINTER = static_cast<LONG>(0x80000035u);
constexpr LONG LINEERR_INVALPRIVSELECT = static_cast<LONG>(0x80000036u);
constexpr LONG LINEERR_NODEVICE = static_cast<LONG>(0x80000042u);
constexpr LONG LINEERR_NODRIVER = static_cast<LONG>(0x80000043u);
constexpr LONG LINEERR_NOMEM = static_cast<LONG>(0x80000044u);
constexpr LONG LINEERR_NOTREGISTERED = static_cast<LONG>(0x80000047u);
constexpr LONG LINEERR_OPERATIONFAILED = static_cast<LONG>(0x80000048u);
constexpr LONG LINEERR_OPERATIONUNAVAIL = static_cast<LONG>(0x80000049u);
constexpr LONG LINEERR_RESOURCEUNAVAIL = static_cast<LONG>(0x8000004Bu);
constexpr LONG LINEERR_STRUCTURETOOSMALL = static_cast<LONG>(0x8000004Du);
constexpr LONG LINEERR_TARGETNOTFOUND = static_cast<LONG>(0x8000004Eu);
constexpr LONG LINEERR_UNINITIALIZED = static_cast<LONG>(0x80000050u);
constexpr LONG LINEERR_REINIT = static_cast<LONG>(0x80000052u);

struct LINEEXTENSIONID {
    DWORD dwExtensionID0;
    DWORD dwExtensionID1;
    DWORD dwExtensionID2;
    DWORD dwExtensionID3;
};

struct LINEDIALPARAMS {
    DWORD dwDialPause;
    DWORD dwDialSpeed;
    DWORD dwDigitDuration;
    DWORD dwWaitForDialtone;
};

// A variable-size structure: the caller sets dwTotalSize to the size of its buffer; the platform fills
// in dwNeededSize and dwUsedSize. Variable parts (the line name) lie in the same buffer, at the byte
// offset their ...Offset field gives from the start of the structure. The fixed part grows with the API
// version: 236 bytes for 1.3, 240 for 1.4, 252 (this whole structure) for 2.0.
struct LINEDEVCAPS {
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwProviderInfoSize;
    DWORD dwProviderInfoOffset;
    DWORD dwSwitchInfoSize;
    DWORD dwSwitchInfoOffset;
    DWORD dwPermanentLineID;
    DWORD dwLineNameSize;
    DWORD dwLineNameOffset;
    DWORD dwStringFormat;
    DWORD dwAddressModes;
    DWORD dwNumAddresses;
    DWORD dwBearerModes;
    DWORD dwMaxRate;
    DWORD dwMediaModes;
    DWORD dwGenerateToneModes;
    DWORD dwGenerateToneMaxNumFreq;
    DWORD dwGenerateDigitModes;
    DWORD dwMonitorToneMaxNumFreq;
    DWORD dwMonitorToneMaxNumEntries;
    DWORD dwMonitorDigitModes;
    DWORD dwGatherDigitsMinTimeout;
    DWORD dwGatherDigitsMaxTimeout;
    DWORD dwMedCtlDigitMaxListSize;
    DWORD dwMedCtlMediaMaxListSize;
    DWORD dwMedCtlToneMaxListSize;
    DWORD dwMedCtlCallStateMaxListSize;
    DWORD dwDevCapFlags;
    DWORD dwMaxNumActiveCalls;
    DWORD dwAnswerMode;
    DWORD dwRingModes;
    DWORD dwLineStates;
    DWORD dwUUIAcceptSize;
    DWORD dwUUIAnswerSize;
    DWORD dwUUIMakeCallSize;
    DWORD dwUUIDropSize;
    DWORD dwUUISendUserUserInfoSize;
    DWORD dwUUICallInfoSize;
    LINEDIALPARAMS MinDialParams;
    LINEDIALPARAMS MaxDialParams;
    LINEDIALPARAMS DefaultDialParams;
    DWORD dwNumTerminals;
    DWORD dwTerminalCapsSize;
    DWORD dwTerminalCapsOffset;
    DWORD dwTerminalTextEntrySize;
    DWORD dwTerminalTextSize;
    DWORD dwTerminalTextOffset;
    DWORD dwDevSpecificSize;
    DWORD dwDevSpecificOffset;
    DWORD dwLineFeatures;      // 1.4
    DWORD dwSettableDevStatus; // 2.0
    DWORD dwDeviceClassesSize;
    DWORD dwDeviceClassesOffset;
};
using LPLINEDEVCAPS = LINEDEVCAPS*;

// Call set-up parameters. The platform accepts them and uses its own defaults instead.
struct LINECALLPARAMS {
    DWORD dwTotalSize;
    DWORD dwBearerMode;
    DWORD dwMinRate;
    DWORD dwMaxRate;
    DWORD dwMediaMode;
    DWORD dwCallParamFlags;
    DWORD dwAddressMode;
    DWORD dwAddressID;
    LINEDIALPARAMS DialParams;
    DWORD dwOrigAddressSize;
    DWORD dwOrigAddressOffset;
    DWORD dwDisplayableAddressSize;
    DWORD dwDisplayableAddressOffset;
    DWORD dwCalledPartySize;
    DWORD dwCalledPartyOffset;
    DWORD dwCommentSize;
    DWORD dwCommentOffset;
    DWORD dwUserUserInfoSize;
    DWORD dwUserUserInfoOffset;
    DWORD dwHighLevelCompSize;
    DWORD dwHighLevelCompOffset;
    DWORD dwLowLevelCompSize;
    DWORD dwLowLevelCompOffset;
    DWORD dwDevSpecificSize;
    DWORD dwDevSpecificOffset;
};

// Starts an application's use of the line devices. On success fills *lineApp and *numDevs (the number of
// line devices, possibly 0) and starts the application's event thread. LINEERR_REINIT: the telephony
// service is reinitialising; try again. LINEERR_NODRIVER: the device has no telephony service.
LONG lineInitialize(LPHLINEAPP lineApp, HINSTANCE instance, LINECALLBACK callback, LPCWSTR appName,
                    DWORD* numDevs);

// Picks the highest API version in [apiLowVersion, apiHighVersion] that the platform and the device
// both support. `extensionId` may be null; when given it is zero-filled (no extensions).
LONG lineNegotiateAPIVersion(HLINEAPP lineApp, DWORD deviceId, DWORD apiLowVersion, DWORD apiHighVersion,
                             DWORD* apiVersion, LINEEXTENSIONID* extensionId);

// Fills the device's capabilities. A buffer smaller than dwNeededSize (but holding the fixed part of the
// version) gets the fixed part with every variable part left out (sizes 0), and still returns 0.
// A dwTotalSize below the fixed part answers LINEERR_STRUCTURETOOSMALL.
LONG lineGetDevCaps(HLINEAPP lineApp, DWORD deviceId, DWORD apiVersion, DWORD extVersion,
                    LPLINEDEVCAPS lineDevCaps);

// Opens a line device for outgoing calls (LINECALLPRIVILEGE_NONE) or also for monitoring and owning calls.
// `callbackInstance` comes back as the callback's `instance` for the line's and its calls' messages.
LONG lineOpen(HLINEAPP lineApp, DWORD deviceId, LPHLINE line, DWORD apiVersion, DWORD extVersion,
              DWORD_PTR callbackInstance, DWORD privileges, DWORD mediaModes,
              const LINECALLPARAMS* callParams);

// Asks for an outgoing call to `destAddress` (dialled unchanged). Returns a positive request
// identifier (LINE_REPLY follows, then LINE_CALLSTATE messages) or a negative code when refused at once.
LONG lineMakeCall(HLINE line, LPHCALL call, LPCWSTR destAddress, DWORD countryCode,
                  const LINECALLPARAMS* callParams);

// Hangs up a call. Returns a positive request identifier (the call goes idle, LINE_REPLY follows).
LONG lineDrop(HCALL call, LPCSTR userUserInfo, DWORD size);

// Releases a call handle; no message of that call is delivered afterwards.
LONG lineDeallocateCall(HCALL call);

// Closes a line; its calls are hung up and their handles released. No LINE_CLOSE is sent for it.
LONG lineClose(HLINE line);

// Ends the application's use of the line devices: closes its lines, stops its event thread.
LONG lineShutdown(HLINEAPP lineApp);
