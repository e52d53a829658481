// A record of the messages test windows receive, from any thread, and the check of a recorded run
// against an expected table (one row per message: window name, message, and optionally wParam), made in
// one call so that a failure shows the whole expected and actual sequence side by side.
#pragma once

#include "platform/win/WinApi.h"

#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lwtest {

struct Recorded {
    std::string window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Expected {
    const char* window;
    UINT message;
    std::optional<WPARAM> wParam = std::nullopt;
};

class MessageLog {
public:
    // Only messages in the watched set are recorded.
    void watch(std::set<UINT> messages);
    void add(const std::string& window, UINT message, WPARAM wParam, LPARAM lParam);
    std::vector<Recorded> take();
    void clear() { take(); }
    std::size_t count(const std::string& window, UINT message) const;

private:
    mutable std::mutex mutex_;
    std::set<UINT> watched_;
    std::vector<Recorded> entries_;
};

// The one log all test windows write to.
MessageLog& Log();

std::string MessageName(UINT message);

// Checks `actual` (optionally only the rows of one window) against `expected`; reports every difference.
void ExpectSequence(const std::vector<Recorded>& actual, const std::vector<Expected>& expected,
                    const std::string& context, const char* onlyWindow = nullptr);

} // namespace lwtest
