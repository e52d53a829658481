// The automation command "line": injected events reach the program's callback with the given
// parameters, and the calls and the journal can be read back.
#include "LineTestSupport.h"

#include "platform/automation/DeviceCommands.h"
#include "platform/tapi/simulated/LineCommand.h"
#include "platform/tapi/simulated/SimulatedLineSetup.h"

namespace lullwatch::test {
namespace {

using platform::automation::CommandResult;

class LineCommandTest : public LineTest {
protected:
    void SetUp() override {
        LineTest::SetUp();
        Install({{"call-script", "silent"}});
        platform::tapi::RegisterLineCommand(line_);
        app_ = Initialize();
        line0_ = Open(app_, 0, 0x77);
    }

    CommandResult Run(const std::string& command) {
        const auto words = platform::automation::SplitWords(command);
        CommandResult result{false, "not run"};
        EXPECT_TRUE(
            platform::automation::RunDeviceCommand(words.at(0), {words.begin() + 1, words.end()}, &result));
        return result;
    }

    HLINEAPP app_ = 0;
    HLINE line0_ = 0;
};

constexpr DWORD kCurrentCall = 0xFFFFFFF0; // stands for the call placed by the test
constexpr DWORD kCurrentLine = 0xFFFFFFF1; // stands for the line opened by the test

struct InjectCase {
    const char* command;
    DWORD device;
    DWORD message;
    DWORD param1;
    DWORD param2;
    DWORD param3;
};

TEST_F(LineCommandTest, InjectedEventsReachTheCallbackWithTheirParameters) {
    HCALL call = 0;
    ASSERT_GT(lineMakeCall(line0_, &call, L"5551234", 0, nullptr), 0);
    ASSERT_TRUE(Recorder::Instance().WaitForMessage(LINE_REPLY));

    const InjectCase cases[] = {
        {"line event callstate dialing", kCurrentCall, LINE_CALLSTATE, LINECALLSTATE_DIALING, 0, 0},
        {"line event callstate LINECALLSTATE_RINGBACK", kCurrentCall, LINE_CALLSTATE, 0x20, 0, 0},
        {"line event callstate offering", kCurrentCall, LINE_CALLSTATE, LINECALLSTATE_OFFERING, 0, 0},
        {"line event callstate 0x400", kCurrentCall, LINE_CALLSTATE, LINECALLSTATE_ONHOLD, 0, 0},
        {"line event linedevstate reinit", kCurrentLine, LINE_LINEDEVSTATE, LINEDEVSTATE_REINIT, 0, 0},
        {"line event linedevstate reinit linedevstate outofservice", kCurrentLine, LINE_LINEDEVSTATE,
         LINEDEVSTATE_REINIT, LINE_LINEDEVSTATE, LINEDEVSTATE_OUTOFSERVICE},
        {"line event linedevstate reinit create 3", kCurrentLine, LINE_LINEDEVSTATE, LINEDEVSTATE_REINIT,
         LINE_CREATE, 3},
        {"line event linedevstate 0x88", kCurrentLine, LINE_LINEDEVSTATE, 0x88, 0, 0},
        {"line event linedevstate maintenance", kCurrentLine, LINE_LINEDEVSTATE, LINEDEVSTATE_MAINTENANCE, 0,
         0},
        {"line event reply 12345 callunavail", 0, LINE_REPLY, 12345, 0x80000005, 0},
        {"line event close device=0x1234", 0x1234, LINE_CLOSE, 0, 0, 0},
        {"line event create 0", 0, LINE_CREATE, 0, 0, 0},
        {"line event callstate disconnected 0x2000", kCurrentCall, LINE_CALLSTATE, LINECALLSTATE_DISCONNECTED,
         0x2000, 0},
        {"line event callstate idle device=0x4242", 0x4242, LINE_CALLSTATE, LINECALLSTATE_IDLE, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const std::size_t before = Recorder::Instance().Count();
        const CommandResult result = Run(c.command);
        ASSERT_TRUE(result.ok) << result.text;
        auto got = Recorder::Instance().WaitFor([](const Received&) { return true; }, before);
        ASSERT_TRUE(got);
        const DWORD device = c.device == kCurrentCall ? call : c.device == kCurrentLine ? line0_ : c.device;
        EXPECT_EQ(got->device, device);
        EXPECT_EQ(got->message, c.message);
        EXPECT_EQ(got->param1, c.param1);
        EXPECT_EQ(got->param2, c.param2);
        EXPECT_EQ(got->param3, c.param3);
    }
}

TEST_F(LineCommandTest, CloseInvalidatesTheLineAndCreateAddsADevice) {
    ASSERT_TRUE(Run("line event close").ok);
    auto closed = Recorder::Instance().WaitForMessage(LINE_CLOSE);
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->device, line0_);
    EXPECT_EQ(closed->instance, 0x77u);
    EXPECT_EQ(lineClose(line0_), LINEERR_INVALLINEHANDLE);

    ASSERT_TRUE(Run("line event create").ok);
    auto created = Recorder::Instance().WaitForMessage(LINE_CREATE);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->param1, 1u);
    DWORD version = 0;
    EXPECT_EQ(lineNegotiateAPIVersion(app_, 1, 0x00010003, 0x00020000, &version, nullptr), 0);
}

TEST_F(LineCommandTest, ScriptCallsLogAndWait) {
    ASSERT_TRUE(Run("line script 0:reply 100:dialing 5000:busy").ok);
    HCALL call = 0;
    ASSERT_GT(lineMakeCall(line0_, &call, L"0123 456", 0, nullptr), 0);
    ASSERT_TRUE(Recorder::Instance().WaitForCallState(LINECALLSTATE_DIALING));

    const CommandResult wait = Run("line wait lineMakeCall " + std::to_string(journalStart_));
    ASSERT_TRUE(wait.ok) << wait.text;
    EXPECT_NE(wait.text.find("dest=\"0123 456\""), std::string::npos) << wait.text;

    const CommandResult calls = Run("line calls");
    ASSERT_TRUE(calls.ok);
    EXPECT_NE(calls.text.find("\"0123 456\""), std::string::npos) << calls.text;
    EXPECT_NE(calls.text.find("LINECALLSTATE_DIALING"), std::string::npos) << calls.text;

    const CommandResult log = Run("line log");
    ASSERT_TRUE(log.ok);
    EXPECT_NE(log.text.find("lineOpen"), std::string::npos) << log.text;
    EXPECT_NE(log.text.find("-> request "), std::string::npos) << log.text;

    EXPECT_NE(Run("line status").text.find("0:reply 100:dialing 5000:busy"), std::string::npos);
    EXPECT_TRUE(Run("line clear").ok);
    EXPECT_EQ(Run("line calls").text, "no calls");
    EXPECT_FALSE(Run("line wait lineClose timeout=20").ok);
}

TEST_F(LineCommandTest, StartSimulatedLineInstallsAndRegisters) {
    std::string error;
    EXPECT_EQ(platform::tapi::StartSimulatedLine({{"devices", "x"}}, &error), nullptr);
    EXPECT_NE(error.find("line profile: devices:"), std::string::npos) << error;
    auto started = platform::tapi::StartSimulatedLine({{"call-script", "reject"}}, &error);
    ASSERT_NE(started, nullptr) << error;
    EXPECT_EQ(platform::tapi::InstalledService(), started);
    EXPECT_NE(Run("line status").text.find("script: reject"), std::string::npos);
}

struct CommandErrorCase {
    const char* command;
    const char* mentions;
};

TEST_F(LineCommandTest, MistakesAreExplained) {
    const CommandErrorCase cases[] = {
        {"line", "line status"},
        {"line event", "line event <message>"},
        {"line event ring", "unknown message"},
        {"line event callstate dialing", "no call in progress"},
        {"line event callstate nonsense", "not a number or one of"},
        {"line event linedevstate", "needs a device state"},
        {"line event callstate 1 2 3 4", "too many parameters"},
        {"line event close device=x", "device= needs a number"},
        {"line script", "empty"},
        {"line script ring-twice", "is not a step"},
        {"line log x", "not an entry number"},
        {"line wait", "line wait <function>"},
    };
    for (const auto& c : cases) {
        const CommandResult result = Run(c.command);
        EXPECT_FALSE(result.ok) << c.command;
        EXPECT_NE(result.text.find(c.mentions), std::string::npos) << c.command << ": " << result.text;
    }
}

} // namespace
} // namespace lullwatch::test
