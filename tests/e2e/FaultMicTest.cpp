// The microphone's faults against the real program: one row per fault, all run by one driver. Each row
// checks that the fault is visible while it lasts (the status names the microphone, and its box is up),
// that the monitor recovers by itself once the fault clears (the indicator gone, the device recording
// again, no further box), that a loud sound after the recovery still places a call in an armed session,
// and that the program then quits cleanly.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

using namespace lwe2e;

// Where the fault comes in.
enum class Moment {
    AtStart,            // from the profile, before the main window shows; armed after the recovery
    AtRestartAfterCall, // set during an alarm call, so the restart 5 s after it fails
    WhileRecording,     // set while an armed session listens
    OnAlarmStop,        // set while armed; the loud sound's alarm thread meets it when it stops capture
};

struct MicFault {
    const char* name;
    Moment moment;
    const char* rule; // the wave fault, as "sound fail" and the profile's sound.fail take it
    bool clears;      // the fault is cleared by the test ("sound fail clear"); else it runs out itself
    bool deaf;        // the microphone hears nothing while it lasts (else only its box shows it)
    std::vector<std::string> boxes; // the texts of the "Microphone error" boxes, in order
};

// Ten times the test profile's speed: the countdown takes about 1.2 s, the pause after a call 0.2 s.
constexpr const char* kClock = "device.clock_factor=25";

// Polls the status command until `want` holds for its answer; false at the deadline.
bool WaitForStatus(Monitor& monitor, const std::function<bool(const std::string&)>& want, std::string* last) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    while (std::chrono::steady_clock::now() < deadline) {
        *last = monitor.Do("status").Text(); // one line per raised indicator
        if (want(*last)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool NamesMicrophone(const std::string& status) {
    return status.find("microphone: No microphone") != std::string::npos;
}

// Presses OK on every "Microphone error" box as it comes up; their texts.
std::vector<std::string> AnswerBoxes(Monitor& monitor) {
    std::vector<std::string> texts;
    while (texts.size() < 5 && monitor.Wait("msgbox \"Microphone error\"", 300, /*expectTimeout=*/true)) {
        const auto box = monitor.Do("msgbox");
        const auto words = box.lines.size() > 1 ? ReplyWords(box.lines[1]) : std::vector<std::string>{};
        texts.push_back(words.size() > 1 ? words[1] : box.Text());
        monitor.Do("msgbox press ok");
        monitor.Wait("nomsgbox");
    }
    return texts;
}

void Arm(Monitor& monitor) {
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Stop - 0 sec");
    monitor.WaitText(1000, "Stop");
}

// The journal entry of the next lineMakeCall from entry `from` on, after a loud sound; 0 if none came.
std::uint64_t LoudCall(Monitor& monitor, std::uint64_t from) {
    monitor.Do("sound tone 440 60");
    const auto call = monitor.WaitForLineCall("lineMakeCall", from);
    monitor.Do("sound silence");
    return call ? call->first : 0;
}

class FaultMicTest : public ::testing::TestWithParam<MicFault> {};

TEST_P(FaultMicTest, IsVisibleRecoversCallsAfterAndQuitsClean) {
    const MicFault& row = GetParam();
    DataRoot data;
    data.Write("phonenumber.txt", "5551234");
    std::vector<std::string> settings{kClock};
    if (row.moment == Moment::AtStart) {
        settings.push_back(std::string("sound.fail=") + row.rule);
    }
    Monitor monitor(data, settings, LULLWATCH_TEST_PROFILE, row.moment != Moment::AtStart);
    std::uint64_t journal = 1; // line calls are looked for from this journal entry on

    switch (row.moment) {
    case Moment::AtStart:
        ASSERT_TRUE(monitor.Wait("msgbox \"Microphone error\"")) << monitor.Stderr();
        break;
    case Moment::AtRestartAfterCall: {
        ASSERT_TRUE(monitor.started()) << monitor.Stderr();
        Arm(monitor);
        const std::uint64_t call = LoudCall(monitor, journal);
        ASSERT_NE(call, 0u);
        monitor.Do(std::string("sound fail ") + row.rule); // capture is stopped for the call
        const auto ended = monitor.WaitForLineCall("lineClose", call);
        ASSERT_TRUE(ended.has_value());
        journal = ended->first + 1;
        break;
    }
    case Moment::WhileRecording:
        ASSERT_TRUE(monitor.started()) << monitor.Stderr();
        Arm(monitor);
        monitor.Do(std::string("sound fail ") + row.rule);
        break;
    case Moment::OnAlarmStop: {
        ASSERT_TRUE(monitor.started()) << monitor.Stderr();
        Arm(monitor);
        monitor.Do(std::string("sound fail ") + row.rule);
        const std::uint64_t call = LoudCall(monitor, journal);
        ASSERT_NE(call, 0u) << "the failed stop held the call";
        // Placed while the stop's box is still up: nobody has answered it.
        EXPECT_TRUE(monitor.Wait("msgbox \"Microphone error\""));
        journal = call + 1;
        break;
    }
    }

    // Visible while it lasts.
    std::string status;
    if (row.deaf) {
        EXPECT_TRUE(WaitForStatus(monitor, NamesMicrophone, &status)) << status;
    }
    EXPECT_TRUE(monitor.Wait("msgbox \"Microphone error\""));

    // Recovers by itself once the fault is over, with the box still up.
    if (row.clears) {
        monitor.Do("sound fail clear");
    }
    EXPECT_TRUE(WaitForStatus(
        monitor, [](const std::string& s) { return !NamesMicrophone(s); }, &status))
        << status;
    EXPECT_TRUE(monitor.Wait("device \"sound state\" contains recording"));
    EXPECT_EQ(AnswerBoxes(monitor), row.boxes);

    // A loud sound after the recovery calls.
    if (row.moment == Moment::AtStart) {
        ASSERT_TRUE(monitor.FindMainWindow());
        Arm(monitor);
    }
    monitor.Wait("device \"sound state\" contains recording");
    EXPECT_NE(LoudCall(monitor, journal), 0u);

    EXPECT_EQ(monitor.Quit(), 0);
}

// clang-format off
const MicFault kRows[] = {
    //        row                                 moment                      rule                          clears deaf   boxes
    MicFault{"OpenFailsAtStart",                  Moment::AtStart,            "open MMSYSERR_ALLOCATED",    true,  true,  {"Specified resource is already allocated"}},
    MicFault{"OpenFailsAtTheRestartAfterACall",   Moment::AtRestartAfterCall, "open MMSYSERR_ALLOCATED",    true,  true,  {"Specified resource is already allocated"}},
    MicFault{"PrepareFailsAtTheRestartAfterACall",Moment::AtRestartAfterCall, "prepare MMSYSERR_NOMEM",     true,  true,  {"Unable to allocate or lock memory"}},
    MicFault{"StartFailsAtTheRestartAfterACall",  Moment::AtRestartAfterCall, "start MMSYSERR_NODRIVER",    true,  true,  {"No device driver is present"}},
    MicFault{"DeviceLostMidStream",               Moment::WhileRecording,     "device MMSYSERR_NODRIVER",   true,  true,  {"No device driver is present"}},
    MicFault{"BufferHandBackFails",               Moment::WhileRecording,     "add MMSYSERR_NOMEM",         true,  true,  {"Unable to allocate or lock memory"}},
    MicFault{"DeviceBackAfterEightFailedOpens",   Moment::AtStart,            "open MMSYSERR_ALLOCATED 8",  false, true,  {"Specified resource is already allocated"}},
    MicFault{"StopFailsOnTheAlarmThread",         Moment::OnAlarmStop,        "stop MMSYSERR_ERROR once",   false, false, {"Microphone error"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, FaultMicTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
