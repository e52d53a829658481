#include "audio/CaptureErrors.h"

#include <array>

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
