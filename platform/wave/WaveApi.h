// The device's waveform-audio services: wave input (the microphone) and the wave-output volume.
//
// Wave input. One input device exists (device 0, also reached as WAVE_MAPPER); it records 8000 Hz,
// 8-bit, mono PCM and nothing else. The caller lends it buffers (waveInPrepareHeader, waveInAddBuffer);
// while recording, the device fills the queued buffers in order and returns each full one through the
// callback given to waveInOpen with WIM_DATA (the WAVEHDR as the first parameter, WHDR_DONE set,
// dwBytesRecorded = bytes filled). Sound that arrives while no buffer is queued is kept in the device's
// own ring (4 s) and goes into the next buffers queued first, so a caller that cycles a single buffer
// loses nothing; should the ring overflow, its oldest bytes are dropped and counted (the automation
// command `sound state` shows the count). waveInStop returns the buffer being filled if it holds any bytes;
// waveInReset returns every queued buffer; both empty the ring. WIM_OPEN, every WIM_DATA and WIM_CLOSE are
// delivered in that order on the device's own callback thread (one per open device), never on the caller's
// thread.
//
// What the calls wait for. No call waits for a callback: waveInStop, waveInReset and waveInClose mark
// buffers done and queue their WIM_DATA for the callback thread, then return, so they are safe to call
// while a callback of the same device is running, even one that waits for the calling thread (for
// example through SendMessage), and from inside the callback itself. The calls take the device's lock,
// which the thread reading the device holds only while it copies a few milliseconds of sound into a
// buffer, and which is never held while the callback runs. waveInClose also waits for the capture
// thread to end; that thread is woken at once and never waits for a callback either.
// After waveInReset or waveInStop returns, the device writes nothing more into the buffers it returned;
// after waveInClose returns, it never touches any header or sample buffer of that device again, so the
// caller may free them, even though WIM_DATA for returned buffers and the final WIM_CLOSE may still be
// on their way to the callback (each carries the old device handle; handles are never reused, so a
// callback that hands a buffer back to a closed device gets MMSYSERR_INVALHANDLE).
// One consequence for a stop sequence (stop, reset, unprepare, close) run while a callback may be
// handing its buffer back: a callback that began before the stop can queue the buffer again after the
// reset, and the unprepare then fails with WAVERR_STILLPLAYING. A second reset returns it for good
// once that callback no longer hands buffers back (or the caller waits for the callback to finish, on
// a thread the callback is not waiting for). An unprepared buffer is refused (WAVERR_UNPREPARED), so
// no buffer can be queued between the unprepare and the close.
//
// Device failure. If the sound source fails while the device is open (the ALSA device disappears or
// reports an error it cannot recover from), every queued buffer is returned with WIM_DATA holding what
// was recorded, waveInAddBuffer, waveInPrepareHeader and waveInStart then fail with MMSYSERR_NODRIVER,
// while waveInStop, waveInReset, waveInUnprepareHeader and waveInClose still succeed so that the device
// can be shut down as usual. The failure is then reported once to the procedure set with
// waveInSetErrorProc (this device's own addition), on the device's callback thread after the returned
// buffers' WIM_DATA.
//
// Wave output volume. waveOutGetVolume and waveOutSetVolume read and set the output volume of
// WAVE_MAPPER (or device 0): low word left, high word right, 0 (silent) to 0xFFFF (full) each.
#pragma once

#include "platform/win/WinTypes.h"

#ifndef CALLBACK
#define CALLBACK
#endif

#define LULLWATCH_DECLARE_WAVE_HANDLE(name)                                                                  \
    struct name##__;                                                                                         \
    using name = name##__*
LULLWATCH_DECLARE_WAVE_HANDLE(HWAVEIN);
LULLWATCH_DECLARE_WAVE_HANDLE(HWAVEOUT);
#undef LULLWATCH_DECLARE_WAVE_HANDLE

using MMRESULT = UINT;

constexpr UINT WAVE_MAPPER = static_cast<UINT>(-1);

// Result codes.
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// waveInOpen flags.
constexpr DWORD CALLBACK_TYPEMASK = 0x00070000;
constexpr DWORD CALLBACK_NULL = 0x00000000;
constexpr DWORD CALLBACK_WINDOW = 0x00010000;
constexpr DWORD CALLBACK_THREAD = 0x00020000;
constexpr DWORD CALLBACK_FUNCTION = 0x00030000;
constexpr DWORD CALLBACK_EVENT = 0x00050000;
constexpr DWORD WAVE_FORMAT_QUERY = 0x0001;

// Callback messages.
constexpr UINT WIM_OPEN = 0x3BE;
constexpr UINT WIM_CLOSE = 0x3BF;
constexpr UINT WIM_DATA = 0x3C0;

// WAVEHDR flags.
constexpr DWORD WHDR_DONE = 0x00000001;
constexpr DWORD WHDR_PREPARED = 0x00000002;
constexpr DWORD WHDR_BEGINLOOP = 0x00000004;
constexpr DWORD WHDR_ENDLOOP = 0x00000008;
constexpr DWORD WHDR_INQUEUE = 0x00000010;

constexpr WORD WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};

struct WAVEHDR {
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};
using LPWAVEHDR = WAVEHDR*;

// The CALLBACK_FUNCTION procedure: (device, message, instance data, first parameter, second parameter).
using WAVEINPROC = void(CALLBACK*)(HWAVEIN hwi, UINT uMsg, DWORD_PTR dwInstance, DWORD_PTR dwParam1,
                                   DWORD_PTR dwParam2);

MMRESULT waveInOpen(HWAVEIN* phwi, UINT uDeviceID, const WAVEFORMATEX* pwfx, DWORD_PTR dwCallback,
                    DWORD_PTR dwInstance, DWORD fdwOpen);
MMRESULT waveInPrepareHeader(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh);
MMRESULT waveInAddBuffer(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh);
MMRESULT waveInStart(HWAVEIN hwi);
MMRESULT waveInStop(HWAVEIN hwi);
MMRESULT waveInReset(HWAVEIN hwi);
MMRESULT waveInUnprepareHeader(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh);
MMRESULT waveInClose(HWAVEIN hwi);
UINT waveInGetNumDevs();

// This device's addition: the procedure told when an open input device fails (code MMSYSERR_NODRIVER
// when the device has gone, MMSYSERR_ERROR otherwise). Called once per failure, on the failed device's
// callback thread, after the WIM_DATA of the buffers the failure returned; it may block (a message box)
// without harm to anything but that device's later callbacks. A null `proc` removes it.
using WAVEINERRORPROC = void(CALLBACK*)(HWAVEIN hwi, MMRESULT code, DWORD_PTR dwInstance);
MMRESULT waveInSetErrorProc(WAVEINERRORPROC proc, DWORD_PTR dwInstance);

// `hwo` is WAVE_MAPPER or device 0, given as a handle or (second forms) as a device identifier.
MMRESULT waveOutGetVolume(HWAVEOUT hwo, DWORD* pdwVolume);
MMRESULT waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume);
MMRESULT waveOutGetVolume(UINT uDeviceID, DWORD* pdwVolume);
MMRESULT waveOutSetVolume(UINT uDeviceID, DWORD dwVolume);
