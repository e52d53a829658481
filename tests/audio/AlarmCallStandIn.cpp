#include "AlarmCallStandIn.h"

#include "AudioTestSupport.h"
#include "telephony/AlarmCall.h"

namespace audiotest {

AlarmCalls& AlarmCalls::Get() {
    static AlarmCalls calls;
    return calls;
}

void AlarmCalls::SetHolding(bool hold) {
    std::lock_guard lock(mutex_);
    holding_ = hold;
}

void AlarmCalls::ReleaseAll() {
    std::lock_guard lock(mutex_);
    holding_ = false;
    ++releases_;
    changed_.notify_all();
}

void AlarmCalls::Reset() {
    std::lock_guard lock(mutex_);
    calls_.clear();
    holding_ = false;
    ++releases_;
    changed_.notify_all();
}

std::vector<AlarmCall> AlarmCalls::Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::size_t AlarmCalls::Count() {
    std::lock_guard lock(mutex_);
    return calls_.size();
}

bool AlarmCalls::WaitForCount(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kDeadline, [&] { return calls_.size() >= count; });
}

void AlarmCalls::Place(LPCWSTR number, HINSTANCE instance, HWND parent) {
    const bool deviceOpen = Device().open;
    std::unique_lock lock(mutex_);
    calls_.push_back(AlarmCall{number, instance, parent, GetCurrentThreadId(), deviceOpen});
    changed_.notify_all();
    const unsigned release = releases_;
    changed_.wait(lock, [&] { return !holding_ || releases_ != release; });
}

} // namespace audiotest

void PlaceAlarmCall(LPCWSTR number, HINSTANCE instance, HWND parent) {
    audiotest::AlarmCalls::Get().Place(number, instance, parent);
}
