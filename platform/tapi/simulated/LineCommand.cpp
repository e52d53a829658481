#include "platform/tapi/simulated/LineCommand.h"

#include "platform/tapi/CallJournal.h"
#include "platform/tapi/TapiNames.h"
#include "platform/win/Utf8.h"

#include <charconv>
#include <optional>

namespace platform::tapi {
namespace {

using automation::CommandResult;
using Args = std::vector<std::string>;

constexpr auto kDefaultWait = std::chrono::milliseconds(5000);

CommandResult Ok(std::string text) {
    return {true, std::move(text)};
}
CommandResult Fail(std::string text) {
    return {false, std::move(text)};
}

std::optional<std::uint64_t> Count(const std::string& text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// Which names each parameter of an injected message accepts.
std::vector<TapiNameFamily> ParamFamilies(DWORD message) {
    switch (message) {
    case LINE_CALLSTATE:
        return {TapiNameFamily::CallState, TapiNameFamily::DisconnectMode, TapiNameFamily::Number};
    case LINE_LINEDEVSTATE:
        return {TapiNameFamily::DevState, TapiNameFamily::Message, TapiNameFamily::DevState};
    case LINE_REPLY:
        return {TapiNameFamily::Number, TapiNameFamily::Error, TapiNameFamily::Number};
    default:
        return {TapiNameFamily::Number, TapiNameFamily::Number, TapiNameFamily::Number};
    }
}

CommandResult Event(SimulatedLineService& service, const Args& args) {
    if (args.size() < 2) {
        return Fail("line event <message> [<param1> [<param2> [<param3>]]] [device=<value>]");
    }
    auto message = ParseTapiValue(TapiNameFamily::Message, args[1]);
    if (!message) {
        return Fail("unknown message \"" + args[1] + "\" (use " + TapiShortNames(TapiNameFamily::Message) +
                    " or a number)");
    }
    SimulatedLineService::InjectedEvent event;
    event.message = *message;
    const auto families = ParamFamilies(*message);
    std::optional<DWORD>* params[] = {&event.param1, &event.param2, &event.param3};
    std::size_t next = 0;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word.rfind("device=", 0) == 0) {
            event.device = ParseTapiValue(TapiNameFamily::Number, word.substr(7));
            if (!event.device) {
                return Fail("\"" + word + "\": device= needs a number");
            }
            continue;
        }
        if (next == 3) {
            return Fail("too many parameters: \"" + word + "\"");
        }
        // A number is always accepted; a name is read in the family of its position, and with a
        // LINEDEVSTATE_REINIT translated to LINE_CREATE the third parameter is a device number.
        auto value = ParseTapiValue(families[next], word);
        if (!value) {
            return Fail("parameter " + std::to_string(next + 1) + " \"" + word + "\" is not a number" +
                        (families[next] == TapiNameFamily::Number
                             ? std::string()
                             : " or one of: " + TapiShortNames(families[next])));
        }
        *params[next++] = value;
    }
    std::string error;
    if (!service.Inject(event, &error)) {
        return Fail(error);
    }
    return Ok("delivered " + TapiValueName(TapiNameFamily::Message, event.message));
}

// " ending=<state>[/<disconnect mode>]": the first state reported that ends a call (busy, special
// information, disconnected), which a later LINECALLSTATE_IDLE hides from state=; nothing when none came.
std::string Ending(const SimulatedLineService::CallRecord& call) {
    for (const auto& r : call.reported) {
        if (r.message != LINE_CALLSTATE) {
            continue;
        }
        if (r.param1 == LINECALLSTATE_DISCONNECTED) {
            return " ending=" + TapiValueName(TapiNameFamily::CallState, r.param1) + "/" +
                   TapiValueName(TapiNameFamily::DisconnectMode, r.param2);
        }
        if (r.param1 == LINECALLSTATE_BUSY || r.param1 == LINECALLSTATE_SPECIALINFO) {
            return " ending=" + TapiValueName(TapiNameFamily::CallState, r.param1);
        }
    }
    return "";
}

CommandResult Calls(SimulatedLineService& service) {
    std::string text;
    for (const auto& call : service.Calls()) {
        if (!text.empty()) {
            text += '\n';
        }
        text +=
            Hex(call.call) + " \"" + ToUtf8(call.number) + "\" placed=" + std::to_string(call.placedAtMs) +
            "ms state=" + (call.state == 0 ? "none" : TapiValueName(TapiNameFamily::CallState, call.state)) +
            Ending(call) + " end=" + (call.end.empty() ? "-" : call.end) + " script=\"" + call.script + "\"";
    }
    return Ok(text.empty() ? "no calls" : text);
}

CommandResult Log(const Args& args) {
    std::uint64_t from = 1;
    if (args.size() > 1) {
        auto value = Count(args[1]);
        if (!value) {
            return Fail("line log [<from>]: \"" + args[1] + "\" is not an entry number");
        }
        from = *value;
    }
    std::string text;
    for (const auto& entry : Journal().Entries(from)) {
        if (!text.empty()) {
            text += '\n';
        }
        text += entry.Format();
    }
    return Ok(text.empty() ? "no entries" : text);
}

CommandResult Wait(const Args& args) {
    if (args.size() < 2) {
        return Fail("line wait <function> [<from>] [timeout=<ms>]");
    }
    std::uint64_t from = 1;
    std::chrono::milliseconds timeout = kDefaultWait;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const bool isTimeout = args[i].rfind("timeout=", 0) == 0;
        auto value = Count(isTimeout ? args[i].substr(8) : args[i]);
        if (!value) {
            return Fail("\"" + args[i] + "\" is neither an entry number nor timeout=<ms>");
        }
        if (isTimeout) {
            timeout = std::chrono::milliseconds(*value);
        } else {
            from = *value;
        }
    }
    auto entry = Journal().WaitFor(args[1], from, timeout);
    if (!entry) {
        return Fail("no " + args[1] + " from entry " + std::to_string(from) + " within " +
                    std::to_string(timeout.count()) + " ms");
    }
    return Ok(entry->Format());
}

CommandResult Script(SimulatedLineService& service, const Args& args) {
    std::string text;
    for (std::size_t i = 1; i < args.size(); ++i) {
        text += (i > 1 ? " " : "") + args[i];
    }
    CallScript script;
    std::string error;
    if (!ParseCallScript(text, &script, &error)) {
        return Fail(error);
    }
    service.SetCallScript(std::move(script));
    return Ok("script: " + text);
}

// The words that only read the journal, which every telephony service's calls go into.
std::optional<CommandResult> RunJournalCommand(const Args& args) {
    const std::string sub = args.empty() ? std::string() : args[0];
    if (sub == "log") {
        return Log(args);
    }
    if (sub == "wait") {
        return Wait(args);
    }
    return std::nullopt;
}

} // namespace

CommandResult RunLineCommand(SimulatedLineService& service, const std::vector<std::string>& args) {
    if (auto journal = RunJournalCommand(args)) {
        return *journal;
    }
    const std::string sub = args.empty() ? std::string() : args[0];
    if (sub == "status") {
        return Ok(service.StatusText());
    }
    if (sub == "script") {
        return Script(service, args);
    }
    if (sub == "event") {
        return Event(service, args);
    }
    if (sub == "calls") {
        return Calls(service);
    }
    if (sub == "clear") {
        Journal().Clear();
        service.ClearCalls();
        return Ok("cleared");
    }
    return Fail("line status | script <script> | event <message> [<params>] [device=<n>] | calls | "
                "log [<from>] | wait <function> [<from>] [timeout=<ms>] | clear");
}

void RegisterLineCommand(const std::shared_ptr<SimulatedLineService>& service) {
    std::weak_ptr<SimulatedLineService> weak = service;
    automation::RegisterDeviceCommand(
        "line", "the simulated telephone line: status, script, event, calls, log, wait, clear",
        [weak](const std::vector<std::string>& args) {
            auto locked = weak.lock();
            if (!locked) {
                if (auto journal = RunJournalCommand(args)) {
                    return *journal;
                }
                return Fail("the simulated line is not running (line log and line wait still answer)");
            }
            return RunLineCommand(*locked, args);
        });
}

} // namespace platform::tapi
