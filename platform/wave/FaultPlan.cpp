#include "platform/wave/FaultPlan.h"

#include "platform/wave/TextValues.h"

namespace platform::wave {
namespace {

struct CallNames {
    WaveCall call;
    const char* shortName;
    const char* apiName;
};

constexpr CallNames kCalls[] = {
    {WaveCall::Open, "open", "waveInOpen"},
    {WaveCall::Prepare, "prepare", "waveInPrepareHeader"},
    {WaveCall::AddBuffer, "add", "waveInAddBuffer"},
    {WaveCall::Start, "start", "waveInStart"},
    {WaveCall::Stop, "stop", "waveInStop"},
    {WaveCall::Reset, "reset", "waveInReset"},
    {WaveCall::Unprepare, "unprepare", "waveInUnprepareHeader"},
    {WaveCall::Close, "close", "waveInClose"},
    {WaveCall::GetVolume, "getvolume", "waveOutGetVolume"},
    {WaveCall::SetVolume, "setvolume", "waveOutSetVolume"},
    {WaveCall::Device, "device", "device"},
};

std::string Times(unsigned times) {
    if (times == 0) {
        return " always";
    }
    if (times == 1) {
        return " once";
    }
    std::string text = " ";
    text += std::to_string(times);
    text += " times";
    return text;
}

std::size_t Index(WaveCall call) {
    return static_cast<std::size_t>(call);
}

} // namespace

bool ParseFaultRule(const std::vector<std::string>& words, FaultRule* rule, std::string* error) {
    if (words.size() < 2 || words.size() > 3) {
        *error = "expected '<call> <code> [once|always|<n>]'";
        return false;
    }
    const std::string name = Lower(words[0]);
    bool found = false;
    for (const auto& c : kCalls) {
        if (name == c.shortName || name == Lower(c.apiName)) {
            rule->call = c.call;
            found = true;
        }
    }
    if (!found) {
        *error = "unknown call '" + words[0] +
                 "' (open, prepare, add, start, stop, reset, unprepare, close, getvolume, setvolume, device)";
        return false;
    }
    if (!ParseResultCode(words[1], &rule->code) || rule->code == MMSYSERR_NOERROR) {
        *error = "bad result code '" + words[1] + "' (a number above 0 or a name such as MMSYSERR_NODRIVER)";
        return false;
    }
    rule->times = 0;
    if (words.size() == 3) {
        const std::string mode = Lower(words[2]);
        long count = 0;
        if (mode == "once") {
            rule->times = 1;
        } else if (ParseLong(mode, &count) && count >= 1 && count <= 1000000) {
            rule->times = static_cast<unsigned>(count);
        } else if (mode != "always") {
            *error = "expected 'once', 'always' or a count, not '" + words[2] + "'";
            return false;
        }
    }
    return true;
}

std::string CallName(WaveCall call) {
    for (const auto& c : kCalls) {
        if (c.call == call) {
            return c.shortName;
        }
    }
    return "?";
}

void FaultPlan::Set(const FaultRule& rule) {
    std::lock_guard lock(mutex_);
    slots_[Index(rule.call)] = Slot{true, rule};
}

void FaultPlan::Clear(WaveCall call) {
    std::lock_guard lock(mutex_);
    slots_[Index(call)] = Slot{};
}

void FaultPlan::ClearAll() {
    std::lock_guard lock(mutex_);
    slots_.fill(Slot{});
}

MMRESULT FaultPlan::Take(WaveCall call) {
    std::lock_guard lock(mutex_);
    Slot& slot = slots_[Index(call)];
    if (!slot.active) {
        return MMSYSERR_NOERROR;
    }
    const MMRESULT code = slot.rule.code;
    if (slot.rule.times == 1) {
        slot = Slot{};
    } else if (slot.rule.times > 1) {
        --slot.rule.times;
    }
    return code;
}

std::string FaultPlan::Describe() const {
    std::lock_guard lock(mutex_);
    std::string text;
    for (const Slot& slot : slots_) {
        if (slot.active) {
            if (!text.empty()) {
                text += '\n';
            }
            text += CallName(slot.rule.call);
            text += ' ';
            text += ResultCodeName(slot.rule.code);
            text += Times(slot.rule.times);
        }
    }
    return text.empty() ? "none" : text;
}

} // namespace platform::wave
