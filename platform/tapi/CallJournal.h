// The journal of line API calls: every line function the program calls, in the order the calls began,
// with its arguments, result and device time. Tests and the automation channel read it to see what the
// program did ("lineMakeCall to 5551234, then lineDrop, lineDeallocateCall, lineClose").
//
// An entry is opened when a call begins and completed when it returns, so a call made from inside the
// callback while another thread is still in lineMakeCall is listed after that lineMakeCall. A call that
// repeats the entry just before it exactly (same function, arguments and result, as in a retry loop) is
// folded into it as a repeat. The journal keeps the latest 4096 entries.
#pragma once

#include "platform/win/WinTypes.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::tapi {

struct JournalEntry {
    std::uint64_t seq = 0;    // 1, 2, ... in the order the calls began; never reused
    std::uint64_t timeMs = 0; // device time when the (first) call began
    std::string function;     // "lineMakeCall"
    std::string args;         // "hLine=0x00010002 dest=\"5551234\""
    std::wstring text;        // the number dialled (lineMakeCall) or the application name (lineInitialize)
    LONG result = 0;
    std::string outcome; // what the call handed back, "hCall=0x00010003"
    bool done = false;   // false while the call has not returned
    std::uint32_t repeats = 0;

    // "12 4031ms lineMakeCall hLine=0x00010002 dest="5551234" -> request 7 hCall=0x00010003"
    std::string Format() const;
};

class CallJournal {
public:
    std::uint64_t Begin(std::string function, std::string args, std::wstring text = {});
    void End(std::uint64_t seq, LONG result, std::string outcome = {});

    // Entries numbered `fromSeq` or later.
    std::vector<JournalEntry> Entries(std::uint64_t fromSeq = 1) const;
    // The number the next entry will get.
    std::uint64_t NextSeq() const;
    void Clear(); // forgets the entries; numbering goes on

    // Waits (real time) until a completed entry of `function` numbered `fromSeq` or later exists.
    std::optional<JournalEntry> WaitFor(const std::string& function, std::uint64_t fromSeq,
                                        std::chrono::milliseconds timeout) const;
};

// The journal of the process.
CallJournal& Journal();

// One line function call in the journal: opened on construction, completed by Return.
class JournalCall {
public:
    JournalCall(const char* function, std::string args, std::wstring text = {})
        : seq_(Journal().Begin(function, std::move(args), std::move(text))) {}
    LONG Return(LONG result, std::string outcome = {}) {
        Journal().End(seq_, result, std::move(outcome));
        return result;
    }

private:
    std::uint64_t seq_;
};

} // namespace platform::tapi
