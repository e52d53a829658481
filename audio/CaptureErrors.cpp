#include "audio/CaptureErrors.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"

namespace {

struct ErrorText {
    MMRESULT code;
    LPCWSTR text;
};

constexpr std::array kErrorTexts{
    ErrorText{MMSYSERR_BADDEVICEID, L"Specified device identifier is out of range"},
    ErrorText{MMSYSERR_ALLOCATED, L"Specified resource is already allocated"},
    ErrorText{MMSYSERR_INVALHANDLE, L"Specified device handle is invalid"},
    ErrorText{MMSYSERR_NODRIVER, L"No device driver is present"},
    ErrorText{MMSYSERR_NOMEM, L"Unable to allocate or lock memory"},
    ErrorText{WAVERR_BADFORMAT, L"Cannot open input sound device! It may be used by another program."},
    ErrorText{WAVERR_UNPREPARED, L"The buffer pointed to by the pwh parameter hasn't been prepared"},
};

constexpr wchar_t kCaption[] = L"Microphone error";

std::mutex asideLock;
HANDLE asideThread = nullptr; // the latest box's thread; guarded by asideLock

DWORD ShowAside(LPVOID param) {
    ReportCaptureError(static_cast<MMRESULT>(reinterpret_cast<std::uintptr_t>(param)));
    return 0;
}

} // namespace

LPCWSTR CaptureErrorText(MMRESULT code) {
    for (const ErrorText& entry : kErrorTexts) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    return kCaption;
}

void ReportCaptureError(MMRESULT code) {
    MessageBox(nullptr, CaptureErrorText(code), kCaption, MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
}

void ReportCaptureErrorAside(MMRESULT code) {
    std::lock_guard guard(asideLock);
    if (asideThread != nullptr) {
        DWORD exitCode = 0;
        if (GetExitCodeThread(asideThread, &exitCode) && exitCode == STILL_ACTIVE) {
            return; // the box is still up
        }
        CloseHandle(asideThread);
    }
    asideThread =
        CreateThread(nullptr, 0, ShowAside, reinterpret_cast<LPVOID>(std::uintptr_t{code}), 0, nullptr);
    if (asideThread == nullptr) {
        // No thread to be had. The caller's work (the alarm call) goes first; the failure is told where
        // it can be without waiting.
        std::fprintf(stderr, "lullwatch: Microphone error: %s\n",
                     platform::ToUtf8(CaptureErrorText(code)).c_str());
    }
}
