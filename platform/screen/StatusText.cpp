#include "platform/screen/StatusText.h"

#include <memory>
#include <mutex>

namespace platform::screen {
namespace {

struct State {
    std::mutex mutex;
    std::wstring text;
    std::shared_ptr<const std::function<void()>> listener;
};

State& TheState() {
    static auto* state = new State; // never destroyed: services may report while the process ends
    return *state;
}

} // namespace

void SetStatusText(std::wstring text) {
    auto& s = TheState();
    std::shared_ptr<const std::function<void()>> listener;
    {
        std::lock_guard lock(s.mutex);
        if (s.text == text) {
            return;
        }
        s.text = std::move(text);
        listener = s.listener;
    }
    if (listener && *listener) {
        (*listener)();
    }
}

std::wstring StatusText() {
    auto& s = TheState();
    std::lock_guard lock(s.mutex);
    return s.text;
}

void SetStatusTextListener(std::function<void()> listener) {
    auto& s = TheState();
    auto shared = std::make_shared<const std::function<void()>>(std::move(listener));
    std::lock_guard lock(s.mutex);
    s.listener = std::move(shared);
}

} // namespace platform::screen
