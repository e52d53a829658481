#include "platform/host/ProgramEnd.h"

#include "platform/record/Record.h"
#include "platform/win/ChangeNotifier.h"
#include "platform/win/Desktop.h"
#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace platform::host {

void CloseProgramWindows(std::vector<HWND>* done) {
    const auto tops = desktop::EnumerateTopLevels(); // top of the z-order first
    HWND main = nullptr;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (!it->owner) {
            main = it->hwnd;
            break;
        }
    }
    // True the first time `hwnd` is asked for.
    const auto fresh = [done](HWND hwnd) {
        if (done == nullptr) {
            return true;
        }
        if (std::find(done->begin(), done->end(), hwnd) != done->end()) {
            return false;
        }
        done->push_back(hwnd);
        return true;
    };
    for (const auto& info : tops) {
        if (info.hwnd == main) {
            break;
        }
        if (info.visible && info.modal && fresh(info.hwnd)) {
            PostMessage(info.hwnd, WM_COMMAND, IDCANCEL, 0);
        }
    }
    if (main && fresh(main)) {
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
            CloseProgramWindows(&closed_);
            return;
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
    win::NotifyStateChanged(); // wakes the watchdog's wait for new windows
}

void ProgramEnd::Watch() {
    const auto deadline = std::chrono::steady_clock::now() + grace_;
    // Windows made after the request (the main window of a program that was still starting, a box it
    // opens while ending) get their command as they appear.
    desktop::WaitUntil(
        [this] {
            std::lock_guard lock(mutex_);
            if (!finished_) {
                CloseProgramWindows(&closed_);
            }
            return finished_;
        },
        grace_);
    std::unique_lock lock(mutex_);
    if (cv_.wait_until(lock, deadline, [this] { return finished_; })) {
        return;
    }
    std::fprintf(stderr, "%s: the program did not end within %lld s of being asked to; ending the process\n",
                 name_.c_str(), static_cast<long long>(grace_.count() / 1000));
    std::fflush(stderr);
    platform::record::Stop(3);
    _exit(3);
}

} // namespace platform::host
