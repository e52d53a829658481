#include "platform/status/Indicators.h"

#include <array>
#include <map>
#include <memory>
#include <mutex>

namespace platform::status {
namespace {

struct Table {
    std::mutex mutex;
    std::array<Raised, kIndicatorCount> state{
        Raised{Indicator::Microphone, {}, {}},
        Raised{Indicator::Line, {}, {}},
        Raised{Indicator::SleepInhibitor, {}, {}},
    };
    int nextId = 1;
    std::map<int, std::shared_ptr<const Listener>> listeners;
};

Table& TheTable() {
    static auto* table = new Table; // never destroyed: services may report while the process ends
    return *table;
}

void Set(Indicator which, std::wstring text, std::string detail) {
    auto& t = TheTable();
    Raised now;
    std::vector<std::shared_ptr<const Listener>> listeners;
    {
        std::lock_guard lock(t.mutex);
        auto& slot = t.state[static_cast<std::size_t>(which)];
        if (slot.text == text && slot.detail == detail) {
            return;
        }
        slot.text = std::move(text);
        slot.detail = std::move(detail);
        now = slot;
        for (const auto& [id, listener] : t.listeners) {
            listeners.push_back(listener);
        }
    }
    for (const auto& listener : listeners) {
        (*listener)(now);
    }
}

} // namespace

const char* IndicatorName(Indicator which) {
    switch (which) {
    case Indicator::Microphone:
        return "microphone";
    case Indicator::Line:
        return "line";
    case Indicator::SleepInhibitor:
        return "sleep";
    }
    return "?";
}

void Raise(Indicator which, std::wstring text, std::string detail) {
    if (text.empty()) {
        text = L"!";
    }
    Set(which, std::move(text), std::move(detail));
}

void Clear(Indicator which) {
    Set(which, {}, {});
}

std::vector<Raised> Current() {
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    std::vector<Raised> raised;
    for (const auto& slot : t.state) {
        if (!slot.text.empty()) {
            raised.push_back(slot);
        }
    }
    return raised;
}

bool IsRaised(Indicator which) {
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    return !t.state[static_cast<std::size_t>(which)].text.empty();
}

std::wstring WarningText() {
    std::wstring text;
    for (const auto& r : Current()) {
        if (!text.empty()) {
            text += L" \u00B7 ";
        }
        text += r.text;
    }
    return text;
}

int AddListener(Listener listener) {
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    const int id = t.nextId++;
    t.listeners[id] = std::make_shared<const Listener>(std::move(listener));
    return id;
}

void RemoveListener(int id) {
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    t.listeners.erase(id);
}

} // namespace platform::status
