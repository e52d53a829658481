// Line devices over the ModemManager service: one per modem with voice, named after it and chosen by
// the profile; modems appearing late; in and out of service with the modem's state, its emergency-only
// mode, its Voice interface and its going away, also in the middle of a call.
#include "ModemTestSupport.h"

#include "platform/status/Indicators.h"

namespace lullwatch::test {
namespace {

using platform::tapi::modem::ModemLineService;

std::wstring NameOf(HLINEAPP app, DWORD device) {
    alignas(LINEDEVCAPS) unsigned char buffer[1024] = {};
    auto* caps = reinterpret_cast<LINEDEVCAPS*>(buffer);
    caps->dwTotalSize = sizeof buffer;
    if (lineGetDevCaps(app, device, TAPI_VERSION2_0, 0, caps) != 0 || caps->dwLineNameSize == 0) {
        return L"";
    }
    EXPECT_EQ(caps->dwMediaModes & LINEMEDIAMODE_INTERACTIVEVOICE, LINEMEDIAMODE_INTERACTIVEVOICE);
    return reinterpret_cast<const wchar_t*>(buffer + caps->dwLineNameOffset);
}

class ModemDeviceTest : public ModemLineTest {};

std::wstring LineIndicator() {
    for (const auto& raised : platform::status::Current()) {
        if (raised.which == platform::status::Indicator::Line) {
            return raised.text;
        }
    }
    return L"";
}

TEST_F(ModemDeviceTest, EachModemWithVoiceIsALineDeviceNamedAfterIt) {
    Start("860000000000001,860000000000002");
    ASSERT_EQ(devices_, 2u);
    EXPECT_EQ(NameOf(app_, 0), L"Quectel EG25 (+441632960001)");
    const auto devices = service_->Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_TRUE(devices[0].inService);
    EXPECT_EQ(devices[1].path, "/org/freedesktop/ModemManager1/Modem/1");
}

TEST_F(ModemDeviceTest, TheProfileChoosesOneModemByIdentifierOrPath) {
    for (const char* choice : {"860000000000002", "/org/freedesktop/ModemManager1/Modem/1"}) {
        SCOPED_TRACE(choice);
        Start("860000000000001,860000000000002", {{"modem", choice}});
        ASSERT_EQ(devices_, 1u);
        EXPECT_EQ(service_->Devices()[0].path, "/org/freedesktop/ModemManager1/Modem/1");
        TearDown();
        SetUp();
    }
}

TEST_F(ModemDeviceTest, AModemAppearingLateIsAnnouncedAndKeepsItsNumberWhenItReturns) {
    Start("", {{"wait_ms", "5000"}});
    EXPECT_EQ(devices_, 0u);
    Control("AddModem", "sa{sv}", "860000000000009", 1, "Model", "s", "BG95");
    const auto created = Recorder::Instance().WaitForMessage(LINE_CREATE);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->param1, 0u);
    EXPECT_EQ(NameOf(app_, 0), L"Quectel BG95 (+441632960001)");

    // Gone and back under a new object path, as when ModemManager restarts: still device 0.
    Control("RemoveModem", "o", kFirstModem);
    ASSERT_TRUE(WaitForDeviceState(LINEDEVSTATE_OUTOFSERVICE));
    const std::size_t mark = Recorder::Instance().Count();
    Control("AddModem", "sa{sv}", "860000000000009", 0);
    ASSERT_TRUE(WaitForDeviceState(LINEDEVSTATE_INSERVICE, mark));
    EXPECT_EQ(service_->Devices().size(), 1u);
    EXPECT_EQ(service_->Devices()[0].path, "/org/freedesktop/ModemManager1/Modem/1");
}

TEST_F(ModemDeviceTest, TheLineFollowsTheModemInAndOutOfService) {
    Start();
    struct Step {
        const char* control;
        int value;
        DWORD reported;
        const wchar_t* indicator; // the line indicator's words afterwards
    };
    const Step steps[] = {
        {"SetModemState", 3 /* disabled */, LINEDEVSTATE_OUTOFSERVICE, L"Modem off"},
        {"SetModemState", 8 /* registered */, LINEDEVSTATE_INSERVICE, L""},
        {"SetModemState", 2 /* locked */, LINEDEVSTATE_OUTOFSERVICE, L"SIM locked"},
        {"SetModemState", 11 /* connected */, LINEDEVSTATE_INSERVICE, L""},
        {"SetModemState", 7 /* searching */, LINEDEVSTATE_OUTOFSERVICE, L"No network"},
        {"SetModemState", 8, LINEDEVSTATE_INSERVICE, L""},
        {"SetEmergencyOnly", 1, LINEDEVSTATE_OUTOFSERVICE, L"Emergency calls only"},
        {"SetEmergencyOnly", 0, LINEDEVSTATE_INSERVICE, L""},
        {"SetVoice", 0, LINEDEVSTATE_OUTOFSERVICE, L"No voice"},
        {"SetVoice", 1, LINEDEVSTATE_INSERVICE, L""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.control) + " " + std::to_string(step.value));
        const std::size_t mark = Recorder::Instance().Count();
        if (std::string(step.control) == "SetModemState") {
            Control(step.control, "oi", kFirstModem, step.value);
        } else {
            Control(step.control, "ob", kFirstModem, step.value);
        }
        ASSERT_TRUE(WaitForDeviceState(step.reported, mark));
        EXPECT_EQ(service_->Devices()[0].inService, step.reported == LINEDEVSTATE_INSERVICE);
        EXPECT_EQ(LineIndicator(), step.indicator);
    }

    // Out of service at the moment of the call: refused with a reason, and ModemManager is not asked.
    Control("SetModemState", "oi", kFirstModem, 3);
    ASSERT_TRUE(WaitUntil([&] { return !service_->Devices()[0].inService; }));
    const LONG request = Call();
    ASSERT_GT(request, 0);
    EXPECT_EQ(ReplyTo(request), LINEERR_CALLUNAVAIL);
    EXPECT_EQ(MethodArguments(kFirstModem, "CreateCall").size(), 0u);
}

TEST_F(ModemDeviceTest, AModemDisabledOrRemovedMidCallPutsTheLineOutOfService) {
    for (const char* script : {"50:active 150:modem/disabled", "50:active 150:remove"}) {
        SCOPED_TRACE(script);
        Start();
        Control("SetScript", "os", kFirstModem, script);
        ASSERT_GT(Call(), 0);
        ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
        ASSERT_TRUE(WaitForDeviceState(LINEDEVSTATE_OUTOFSERVICE));
        // The program ends the call as it does for every out-of-service line.
        lineDrop(call_, nullptr, 0);
        EXPECT_EQ(lineDeallocateCall(call_), 0);
        EXPECT_EQ(lineClose(line_), 0);
        TearDown();
        SetUp();
    }
}

} // namespace
} // namespace lullwatch::test
