// The calls of the record: the line layer reports each call by its handle; the record numbers the calls
// of a run 1, 2, ... and writes every state and the first end reported for each.
#include "platform/record/Detail.h"
#include "platform/record/Record.h"
#include "platform/record/RecordState.h"
#include "platform/win/Utf8.h"

#include <map>
#include <mutex>
#include <vector>

namespace platform::record {
namespace {

struct OpenCall {
    int number = 0;
    std::uint32_t line = 0;
    std::uint32_t request = 0;
    bool ended = false;
};

struct CallTable {
    std::mutex mutex;
    int counter = 0;
    std::map<std::uint32_t, OpenCall> calls; // by call handle
};

CallTable& Calls() {
    static auto* table = new CallTable; // never destroyed: line threads may report while the process ends
    return *table;
}

std::string N(int number) {
    return std::to_string(number);
}

// Marks the call ended; its number, or 0 when it was unknown or had ended already.
int MarkEnded(std::uint32_t call) {
    auto& t = Calls();
    std::lock_guard lock(t.mutex);
    const auto it = t.calls.find(call);
    if (it == t.calls.end() || it->second.ended) {
        return 0;
    }
    it->second.ended = true;
    return it->second.number;
}

void NoteEnd(int number, CallEnd end, const std::string& reason) {
    DetailPairs pairs = {{"call", N(number)}, {"how", CallEndName(end)}};
    if (!reason.empty()) {
        pairs.emplace_back("reason", reason);
    }
    Note("call-end", DetailText(pairs));
}

} // namespace

void ResetCalls() {
    auto& t = Calls();
    std::lock_guard lock(t.mutex);
    t.counter = 0;
    t.calls.clear();
}

const char* CallEndName(CallEnd end) {
    switch (end) {
    case CallEnd::FarEnd:
        return "far-end";
    case CallEnd::HangUp:
        return "hang-up";
    case CallEnd::Timeout:
        return "timeout";
    case CallEnd::Failure:
        return "failure";
    }
    return "?";
}

void CallPlaced(std::uint32_t line, std::uint32_t call, std::uint32_t request, std::wstring_view number) {
    if (Current() == nullptr) {
        return;
    }
    int n;
    {
        auto& t = Calls();
        std::lock_guard lock(t.mutex);
        n = ++t.counter;
        t.calls[call] = OpenCall{n, line, request, false};
    }
    Note("call", DetailText({{"call", N(n)}, {"number", ToUtf8(std::wstring(number))}}));
}

void CallRefused(std::wstring_view number, const std::string& reason) {
    if (Current() == nullptr) {
        return;
    }
    int n;
    {
        auto& t = Calls();
        std::lock_guard lock(t.mutex);
        n = ++t.counter;
    }
    Note("call", DetailText({{"call", N(n)}, {"number", ToUtf8(std::wstring(number))}}));
    NoteEnd(n, CallEnd::Failure, reason);
}

void CallState(std::uint32_t call, const std::string& state, const std::string& mode) {
    int n = 0;
    {
        auto& t = Calls();
        std::lock_guard lock(t.mutex);
        const auto it = t.calls.find(call);
        if (it == t.calls.end()) {
            return;
        }
        n = it->second.number;
    }
    DetailPairs pairs = {{"call", N(n)}, {"state", state}};
    if (!mode.empty()) {
        pairs.emplace_back("mode", mode);
    }
    Note("call-state", DetailText(pairs));
}

void CallEnded(std::uint32_t call, CallEnd end, const std::string& reason) {
    if (const int n = MarkEnded(call)) {
        NoteEnd(n, end, reason);
    }
}

void CallRequestFailed(std::uint32_t request, const std::string& reason) {
    std::uint32_t call = 0;
    {
        auto& t = Calls();
        std::lock_guard lock(t.mutex);
        for (const auto& [handle, open] : t.calls) {
            if (open.request == request) {
                call = handle;
            }
        }
    }
    if (call != 0) {
        CallEnded(call, CallEnd::Failure, reason);
    }
}

void LineFailed(std::uint32_t line, const std::string& reason) {
    std::vector<std::uint32_t> ending;
    {
        auto& t = Calls();
        std::lock_guard lock(t.mutex);
        for (const auto& [handle, open] : t.calls) {
            if (!open.ended && (line == 0 || open.line == line)) {
                ending.push_back(handle);
            }
        }
    }
    for (const auto call : ending) {
        CallEnded(call, CallEnd::Failure, reason);
    }
}

void CallReleased(std::uint32_t call) {
    auto& t = Calls();
    std::lock_guard lock(t.mutex);
    t.calls.erase(call);
}

} // namespace platform::record
