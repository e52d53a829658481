#include "platform/tapi/CallJournal.h"

#include "platform/tapi/TapiNames.h"
#include "platform/win/Clock.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace platform::tapi {
namespace {

constexpr std::size_t kCapacity = 4096;

struct JournalState {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::deque<JournalEntry> entries; // ascending seq
    std::uint64_t nextSeq = 1;
};

JournalState& State() {
    // Never destroyed: line functions may still be called by threads that outlive static destruction.
    static auto* state = new JournalState;
    return *state;
}

JournalEntry* FindLocked(JournalState& s, std::uint64_t seq) {
    for (auto it = s.entries.rbegin(); it != s.entries.rend(); ++it) {
        if (it->seq == seq) {
            return &*it;
        }
        if (it->seq < seq) {
            break;
        }
    }
    return nullptr;
}

bool SameCall(const JournalEntry& a, const JournalEntry& b) {
    return a.done && b.done && a.function == b.function && a.args == b.args && a.text == b.text &&
           a.result == b.result && a.outcome == b.outcome;
}

} // namespace

std::string JournalEntry::Format() const {
    std::string line = std::to_string(seq) + " " + std::to_string(timeMs) + "ms " + function;
    if (!args.empty()) {
        line += " " + args;
    }
    line += done ? " -> " + TapiResultText(result) : " (running)";
    if (!outcome.empty()) {
        line += " " + outcome;
    }
    if (repeats > 0) {
        line += " (repeated " + std::to_string(repeats) + " more times)";
    }
    return line;
}

std::uint64_t CallJournal::Begin(std::string function, std::string args, std::wstring text) {
    auto& s = State();
    JournalEntry entry;
    entry.timeMs = Clock::NowMs();
    entry.function = std::move(function);
    entry.args = std::move(args);
    entry.text = std::move(text);
    std::lock_guard lock(s.mutex);
    entry.seq = s.nextSeq++;
    s.entries.push_back(std::move(entry));
    if (s.entries.size() > kCapacity) {
        s.entries.pop_front();
    }
    return s.entries.back().seq;
}

void CallJournal::End(std::uint64_t seq, LONG result, std::string outcome) {
    auto& s = State();
    {
        std::lock_guard lock(s.mutex);
        JournalEntry* entry = FindLocked(s, seq);
        if (entry == nullptr) {
            return;
        }
        entry->result = result;
        entry->outcome = std::move(outcome);
        entry->done = true;
        // Fold a repeat of the entry just before, when nothing else began in between.
        const std::size_t n = s.entries.size();
        if (n >= 2 && s.entries[n - 1].seq == seq && s.entries[n - 2].seq + 1 == seq &&
            s.nextSeq == seq + 1 && SameCall(s.entries[n - 2], s.entries[n - 1])) {
            ++s.entries[n - 2].repeats;
            s.entries.pop_back();
            --s.nextSeq;
        }
    }
    s.changed.notify_all();
}

std::vector<JournalEntry> CallJournal::Entries(std::uint64_t fromSeq) const {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    std::vector<JournalEntry> out;
    for (const auto& e : s.entries) {
        if (e.seq >= fromSeq) {
            out.push_back(e);
        }
    }
    return out;
}

std::uint64_t CallJournal::NextSeq() const {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    return s.nextSeq;
}

void CallJournal::Clear() {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    s.entries.clear();
}

std::optional<JournalEntry> CallJournal::WaitFor(const std::string& function, std::uint64_t fromSeq,
                                                 std::chrono::milliseconds timeout) const {
    auto& s = State();
    std::unique_lock lock(s.mutex);
    std::optional<JournalEntry> found;
    s.changed.wait_for(lock, timeout, [&] {
        for (const auto& e : s.entries) {
            if (e.seq >= fromSeq && e.done && e.function == function) {
                found = e;
                return true;
            }
        }
        return false;
    });
    return found;
}

CallJournal& Journal() {
    static CallJournal journal;
    return journal;
}

} // namespace platform::tapi
