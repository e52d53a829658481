#include "platform/host/ProgramEnd.h"

#include "platform/record/Record.h"
#include "platform/win/Desktop.h"
#include "platform/win/WinApi.h"

#include <cstdio>
#include <unistd.h>

namespace platform::host {

void CloseProgramWindows() {
    const auto tops = desktop::EnumerateTopLevels(); // top of the z-order first
    HWND main = nullptr;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (!it->owner) {
            main = it->hwnd;
            break;
        }
    }
    for (const auto& info : tops) {
        if (info.hwnd == main) {
            break;
        }
        if (info.visible && info.modal) {
            PostMessage(info.hwnd, WM_COMMAND, IDCANCEL, 0);
        }
    }
    if (main) {
        PostMessage(main, WM_COMMAND, IDOK, 0);
    }
}

ProgramEnd::ProgramEnd(std::string name, std::chrono::milliseconds grace)
    : name_(std::move(name)), grace_(grace) {}

ProgramEnd::~ProgramEnd() {
    Finished();
    if (watchdog_.joinable()) {
        watchdog_.join();
    }
}

void ProgramEnd::Request(const std::string& why) {
    {
        std::lock_guard lock(mutex_);
        if (finished_) {
            return;
        }
        if (!requested_) {
            requested_ = true;
            std::fprintf(stderr, "%s: %s; ending the program\n", name_.c_str(), why.c_str());
            platform::record::EndRequested(why);
            watchdog_ = std::thread([this] { Watch(); });
        }
    }
    CloseProgramWindows();
}

bool ProgramEnd::Requested() const {
    std::lock_guard lock(mutex_);
    return requested_;
}

void ProgramEnd::Finished() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    cv_.notify_all();
}

void ProgramEnd::Watch() {
    std::unique_lock lock(mutex_);
    if (cv_.wait_for(lock, grace_, [this] { return finished_; })) {
        return;
    }
    std::fprintf(stderr, "%s: the program did not end within %lld s of being asked to; ending the process\n",
                 name_.c_str(), static_cast<long long>(grace_.count() / 1000));
    std::fflush(stderr);
    platform::record::Stop(3);
    _exit(3);
}

} // namespace platform::host
