// What the monitor cannot do right now. A service that finds it cannot hear (no microphone), cannot call
// (no line, line out of service, not registered) or cannot keep the machine awake raises its indicator
// with a few words of ours ("No microphone") and clears it when the fault is over. The screen shows the
// raised indicators in a warning colour in the caption bar's status area, above every window; the
// automation channel reports them; the night's record logs every change. One table for the process.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform::status {

enum class Indicator { Microphone, Line, SleepInhibitor };
constexpr int kIndicatorCount = 3;

// "microphone", "line", "sleep": the indicator's name on the automation channel and in the record.
const char* IndicatorName(Indicator which);

// Raises `which` with its on-screen `text` and a `detail` for the channel and the record (the failed
// call, the error). Raising again with other words replaces them. Any thread; never blocks on a window.
void Raise(Indicator which, std::wstring text, std::string detail = {});
void Clear(Indicator which);

struct Raised {
    Indicator which;
    std::wstring text;
    std::string detail;
    bool operator==(const Raised&) const = default;
};

// The raised indicators in the order of the enumeration.
std::vector<Raised> Current();
bool IsRaised(Indicator which);

// What the status area shows: the raised texts joined by " · ", empty while none is raised.
std::wstring WarningText();

// Called after every change (raised, reworded or cleared), on the thread that made it, outside any lock.
// `now` is the indicator's state after the change (empty text: cleared).
using Listener = std::function<void(const Raised& now)>;
int AddListener(Listener listener);
void RemoveListener(int id);

} // namespace platform::status
