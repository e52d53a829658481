#include "platform/tapi/simulated/CallScript.h"

#include "platform/tapi/TapiNames.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

namespace platform::tapi {
namespace {

const char* const kUsage =
    "use answer-then-hangup <seconds>, busy, no-answer [<seconds>], reject, unreachable, refuse [<code>], "
    "fail-reply [<code> [<ms>]], silent, or steps such as \"0:reply 600:dialing 8000:connected\"";

std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::string current;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r') {
            if (!current.empty()) {
                tokens.push_back(current);
                current.clear();
            }
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        tokens.push_back(current);
    }
    return tokens;
}

std::optional<std::uint64_t> ParseCount(const std::string& text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value > 100'000'000) {
        return std::nullopt;
    }
    return value;
}

ScriptStep Reply(std::uint64_t at, LONG result = 0) {
    return ScriptStep{at, true, result, 0, 0};
}

DWORD DefaultMode(DWORD state) {
    switch (state) {
    case LINECALLSTATE_DISCONNECTED:
        return LINEDISCONNECTMODE_NORMAL;
    case LINECALLSTATE_DIALTONE:
        return LINEDIALTONEMODE_NORMAL;
    case LINECALLSTATE_BUSY:
        return LINEBUSYMODE_STATION;
    default:
        return 0;
    }
}

ScriptStep State(std::uint64_t at, DWORD state, std::optional<DWORD> mode = std::nullopt) {
    return ScriptStep{at, false, 0, state, mode.value_or(DefaultMode(state))};
}

// Dial tone, dialing and proceeding: how every answered or refused-by-the-far-end call starts.
std::vector<ScriptStep> Prelude() {
    return {Reply(0), State(200, LINECALLSTATE_DIALTONE), State(600, LINECALLSTATE_DIALING),
            State(1600, LINECALLSTATE_PROCEEDING)};
}

bool ParseCode(const std::string& text, LONG* code, std::string* error) {
    auto value = ParseTapiValue(TapiNameFamily::Error, text);
    if (!value || *value == 0) {
        *error = "\"" + text + "\" is not a LINEERR_ code (a name such as callunavail, or a number)";
        return false;
    }
    *code = static_cast<LONG>(*value);
    return true;
}

using PresetArgs = std::vector<std::string>;

bool WantArgs(const char* name, const PresetArgs& args, std::size_t most, std::string* error) {
    if (args.size() > most) {
        *error = std::string(name) + " takes at most " + std::to_string(most) + " value(s); " + kUsage;
        return false;
    }
    return true;
}

// Reads args[index] as whole seconds into *ms, when it is there.
bool SecondsArg(const char* name, const PresetArgs& args, std::size_t index, std::uint64_t* ms,
                std::string* error) {
    if (index >= args.size()) {
        return true;
    }
    auto value = ParseCount(args[index]);
    if (!value) {
        *error = std::string(name) + ": \"" + args[index] + "\" is not a whole number of seconds";
        return false;
    }
    *ms = *value * 1000;
    return true;
}

bool AnswerThenHangup(const PresetArgs& a, CallScript* s, std::string* e) {
    std::uint64_t talk = 0;
    if (a.size() != 1) {
        *e = "answer-then-hangup needs the seconds the call lasts once answered";
        return false;
    }
    if (!SecondsArg("answer-then-hangup", a, 0, &talk, e)) {
        return false;
    }
    s->steps = Prelude();
    s->steps.push_back(State(2600, LINECALLSTATE_RINGBACK));
    s->steps.push_back(State(8000, LINECALLSTATE_CONNECTED));
    s->steps.push_back(State(8000 + talk, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL));
    return true;
}

bool Busy(const PresetArgs& a, CallScript* s, std::string* e) {
    s->steps = Prelude();
    s->steps.push_back(State(3000, LINECALLSTATE_BUSY));
    return WantArgs("busy", a, 0, e);
}

bool NoAnswer(const PresetArgs& a, CallScript* s, std::string* e) {
    std::uint64_t ring = 30000;
    if (!WantArgs("no-answer", a, 1, e) || !SecondsArg("no-answer", a, 0, &ring, e)) {
        return false;
    }
    s->steps = Prelude();
    s->steps.push_back(State(2600, LINECALLSTATE_RINGBACK));
    s->steps.push_back(State(2600 + ring, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NOANSWER));
    return true;
}

bool Reject(const PresetArgs& a, CallScript* s, std::string* e) {
    s->steps = Prelude();
    s->steps.push_back(State(2600, LINECALLSTATE_RINGBACK));
    s->steps.push_back(State(6000, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_REJECT));
    return WantArgs("reject", a, 0, e);
}

bool Unreachable(const PresetArgs& a, CallScript* s, std::string* e) {
    s->steps = {Reply(0), State(200, LINECALLSTATE_DIALTONE), State(600, LINECALLSTATE_DIALING),
                State(3000, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNREACHABLE)};
    return WantArgs("unreachable", a, 0, e);
}

bool Refuse(const PresetArgs& a, CallScript* s, std::string* e) {
    LONG code = LINEERR_CALLUNAVAIL;
    if (!WantArgs("refuse", a, 1, e) || (a.size() == 1 && !ParseCode(a[0], &code, e))) {
        return false;
    }
    if (code >= 0) {
        *e = "refuse: the code must be a LINEERR_ code (negative)";
        return false;
    }
    s->refusal = code;
    return true;
}

bool FailReply(const PresetArgs& a, CallScript* s, std::string* e) {
    LONG code = LINEERR_CALLUNAVAIL;
    std::optional<std::uint64_t> at = 0;
    if (!WantArgs("fail-reply", a, 2, e) || (!a.empty() && !ParseCode(a[0], &code, e))) {
        return false;
    }
    if (a.size() == 2 && !(at = ParseCount(a[1]))) {
        *e = "fail-reply: \"" + a[1] + "\" is not a whole number of milliseconds";
        return false;
    }
    s->steps = {Reply(*at, code)};
    return true;
}

bool Silent(const PresetArgs& a, CallScript* s, std::string* e) {
    s->steps = {Reply(0)};
    return WantArgs("silent", a, 0, e);
}

using Preset = bool (*)(const PresetArgs&, CallScript*, std::string*);

const std::map<std::string, Preset>& Presets() {
    static const std::map<std::string, Preset> presets = {
        {"answer-then-hangup", AnswerThenHangup},
        {"busy", Busy},
        {"no-answer", NoAnswer},
        {"reject", Reject},
        {"unreachable", Unreachable},
        {"refuse", Refuse},
        {"fail-reply", FailReply},
        {"silent", Silent},
    };
    return presets;
}

bool ParseStep(const std::string& token, ScriptStep* step, std::string* error) {
    const auto colon = token.find(':');
    auto at = colon == std::string::npos ? std::nullopt : ParseCount(token.substr(0, colon));
    if (!at) {
        *error = "\"" + token + "\" is not a step <ms>:<event>; " + kUsage;
        return false;
    }
    const std::string event = token.substr(colon + 1);
    const auto slash = event.find('/');
    const std::string what = event.substr(0, slash);
    const std::optional<std::string> detail =
        slash == std::string::npos ? std::nullopt : std::optional(event.substr(slash + 1));
    if (what == "reply") {
        LONG code = 0;
        if (detail && !ParseCode(*detail, &code, error)) {
            return false;
        }
        *step = Reply(*at, code);
        return true;
    }
    auto state = ParseTapiValue(TapiNameFamily::CallState, what);
    if (!state) {
        *error = "\"" + what + "\" in \"" + token + "\" is neither reply nor a call state (" +
                 TapiShortNames(TapiNameFamily::CallState) + ")";
        return false;
    }
    std::optional<DWORD> mode;
    if (detail) {
        mode = ParseTapiValue(TapiNameFamily::DisconnectMode, *detail);
        if (!mode) {
            *error = "\"" + *detail + "\" in \"" + token + "\" is not a disconnect mode (" +
                     TapiShortNames(TapiNameFamily::DisconnectMode) + ") or a number";
            return false;
        }
    }
    *step = State(*at, *state, mode);
    return true;
}

} // namespace

bool ParseCallScript(const std::string& text, CallScript* script, std::string* error) {
    const auto tokens = Tokens(text);
    if (tokens.empty()) {
        *error = "the call script is empty; " + std::string(kUsage);
        return false;
    }
    CallScript parsed;
    parsed.text = text;
    std::string first = tokens[0];
    std::transform(first.begin(), first.end(), first.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (auto preset = Presets().find(first); preset != Presets().end()) {
        if (!preset->second(PresetArgs(tokens.begin() + 1, tokens.end()), &parsed, error)) {
            return false;
        }
        *script = std::move(parsed);
        return true;
    }
    bool hasReply = false;
    for (const auto& token : tokens) {
        ScriptStep step;
        if (!ParseStep(token, &step, error)) {
            return false;
        }
        if (!parsed.steps.empty() && step.atMs < parsed.steps.back().atMs) {
            *error = "\"" + token + "\" comes earlier than the step before it; times must not decrease";
            return false;
        }
        hasReply = hasReply || step.reply;
        parsed.steps.push_back(step);
    }
    if (!hasReply) {
        parsed.steps.insert(parsed.steps.begin(), Reply(0));
    }
    *script = std::move(parsed);
    return true;
}

CallScript DefaultCallScript() {
    CallScript script;
    std::string error;
    ParseCallScript("answer-then-hangup 30", &script, &error);
    return script;
}

} // namespace platform::tapi
