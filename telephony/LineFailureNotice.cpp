#include "telephony/LineFailureNotice.h"

#include "platform/win/WinApi.h"

#include <mutex>

namespace {

std::mutex noticeLock;
HANDLE noticeThread = nullptr; // guarded by noticeLock

DWORD ShowNotice(LPVOID) {
    MessageBox(nullptr, L"Cannot open the phone line.\nThe alarm call was not placed.", L"Error",
               MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

} // namespace

void ReportLineFailure() {
    std::lock_guard guard(noticeLock);
    if (noticeThread != nullptr) {
        DWORD exitCode = 0;
        if (GetExitCodeThread(noticeThread, &exitCode) && exitCode == STILL_ACTIVE) {
            return; // the box is still up
        }
        CloseHandle(noticeThread);
    }
    noticeThread = CreateThread(nullptr, 0, ShowNotice, nullptr, 0, nullptr);
}

HANDLE LineFailureNoticeThread() {
    std::lock_guard guard(noticeLock);
    return noticeThread;
}
