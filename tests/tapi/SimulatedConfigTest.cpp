// Reading the simulated line's profile keys and call scripts, and the names of line API values.
#include "platform/tapi/TapiNames.h"
#include "platform/tapi/simulated/SimulatedLineConfig.h"

#include <gtest/gtest.h>

namespace lullwatch::test {
namespace {

using platform::tapi::CallScript;
using platform::tapi::ScriptStep;

ScriptStep Reply(std::uint64_t at, LONG result = 0) {
    return {at, true, result, 0, 0};
}
ScriptStep State(std::uint64_t at, DWORD state, DWORD mode = 0) {
    return {at, false, 0, state, mode};
}

struct ScriptCase {
    const char* text;
    std::vector<ScriptStep> steps;
    std::optional<LONG> refusal;
};

TEST(CallScriptTest, PresetsAndStepLists) {
    const std::vector<ScriptStep> prelude = {Reply(0), State(200, LINECALLSTATE_DIALTONE, 1),
                                             State(600, LINECALLSTATE_DIALING),
                                             State(1600, LINECALLSTATE_PROCEEDING)};
    auto with = [&](std::vector<ScriptStep> tail) {
        auto steps = prelude;
        steps.insert(steps.end(), tail.begin(), tail.end());
        return steps;
    };
    const ScriptCase cases[] = {
        {"answer-then-hangup 30",
         with({State(2600, LINECALLSTATE_RINGBACK), State(8000, LINECALLSTATE_CONNECTED),
               State(38000, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL)}),
         std::nullopt},
        {"busy", with({State(3000, LINECALLSTATE_BUSY, LINEBUSYMODE_STATION)}), std::nullopt},
        {"no-answer",
         with({State(2600, LINECALLSTATE_RINGBACK),
               State(32600, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NOANSWER)}),
         std::nullopt},
        {"No-Answer 10",
         with({State(2600, LINECALLSTATE_RINGBACK),
               State(12600, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NOANSWER)}),
         std::nullopt},
        {"reject",
         with({State(2600, LINECALLSTATE_RINGBACK),
               State(6000, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_REJECT)}),
         std::nullopt},
        {"unreachable",
         {Reply(0), State(200, LINECALLSTATE_DIALTONE, 1), State(600, LINECALLSTATE_DIALING),
          State(3000, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNREACHABLE)},
         std::nullopt},
        {"refuse", {}, LINEERR_CALLUNAVAIL},
        {"refuse nodevice", {}, LINEERR_NODEVICE},
        {"fail-reply", {Reply(0, LINEERR_CALLUNAVAIL)}, std::nullopt},
        {"fail-reply 0x80000048 250", {Reply(250, LINEERR_OPERATIONFAILED)}, std::nullopt},
        {"silent", {Reply(0)}, std::nullopt},
        {"100:dialing, 900:disconnected/busy",
         {Reply(0), State(100, LINECALLSTATE_DIALING),
          State(900, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_BUSY)},
         std::nullopt},
        {"50:reply/callunavail", {Reply(50, LINEERR_CALLUNAVAIL)}, std::nullopt},
        {"0:reply 10:disconnected 20:LINECALLSTATE_DISCONNECTED/0x2000 30:0x400",
         {Reply(0), State(10, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL),
          State(20, LINECALLSTATE_DISCONNECTED, 0x2000), State(30, LINECALLSTATE_ONHOLD)},
         std::nullopt},
    };
    for (const auto& c : cases) {
        CallScript script;
        std::string error;
        ASSERT_TRUE(platform::tapi::ParseCallScript(c.text, &script, &error)) << c.text << ": " << error;
        EXPECT_EQ(script.steps, c.steps) << c.text;
        EXPECT_EQ(script.refusal, c.refusal) << c.text;
        EXPECT_EQ(script.text, c.text);
    }
}

struct ErrorCase {
    const char* text;
    const char* mentions;
};

TEST(CallScriptTest, MistakesAreExplained) {
    const ErrorCase cases[] = {
        {"", "empty"},
        {"answer-then-hangup", "needs the seconds"},
        {"answer-then-hangup soon", "not a whole number of seconds"},
        {"busy 3", "at most 0"},
        {"refuse 0", "not a LINEERR_ code"},
        {"refuse 5", "must be a LINEERR_ code"},
        {"100:ringing", "neither reply nor a call state"},
        {"100:disconnected/angry", "not a disconnect mode"},
        {"500:dialing 100:connected", "times must not decrease"},
        {"dialing", "is not a step"},
        {"x:dialing", "is not a step"},
    };
    for (const auto& c : cases) {
        CallScript script;
        std::string error;
        EXPECT_FALSE(platform::tapi::ParseCallScript(c.text, &script, &error)) << c.text;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.text << ": " << error;
    }
}

TEST(SimulatedLineConfigTest, KeysSetDevicesStartUpAndScript) {
    platform::tapi::SimulatedLineConfig config;
    std::string error;
    ASSERT_TRUE(platform::tapi::ParseSimulatedLineConfig({{"devices", "3"},
                                                          {"device.0.media", "data"},
                                                          {"device.1.media", "none"},
                                                          {"device.2.media", "voice | g3fax"},
                                                          {"device.2.name", "Büro"},
                                                          {"device.1.name", "none"},
                                                          {"device.2.caps-size", "400"},
                                                          {"device.0.negotiate", "fail"},
                                                          {"init.reinit", "3000"},
                                                          {"init.error", "nomem"},
                                                          {"call-script", "busy"},
                                                          {"service", "simulated"}},
                                                         &config, &error))
        << error;
    ASSERT_EQ(config.devices.size(), 3u);
    EXPECT_EQ(config.devices[0].mediaModes, LINEMEDIAMODE_DATAMODEM);
    EXPECT_TRUE(config.devices[0].negotiationFails);
    EXPECT_EQ(config.devices[0].name, std::wstring(L"Simulated line"));
    EXPECT_EQ(config.devices[1].mediaModes, 0u);
    EXPECT_EQ(config.devices[1].name, std::nullopt);
    EXPECT_EQ(config.devices[2].mediaModes, LINEMEDIAMODE_INTERACTIVEVOICE | LINEMEDIAMODE_G3FAX);
    EXPECT_EQ(config.devices[2].name, std::wstring(L"B\u00fcro"));
    EXPECT_EQ(config.devices[2].capsSize, 400u);
    EXPECT_FALSE(config.devices[2].negotiationFails);
    EXPECT_EQ(config.reinitMs, 3000u);
    EXPECT_FALSE(config.reinitAlways);
    EXPECT_EQ(config.initError, LINEERR_NOMEM);
    EXPECT_EQ(config.script.text, "busy");
}

TEST(SimulatedLineConfigTest, Defaults) {
    platform::tapi::SimulatedLineConfig config;
    std::string error;
    ASSERT_TRUE(platform::tapi::ParseSimulatedLineConfig({}, &config, &error)) << error;
    ASSERT_EQ(config.devices.size(), 1u);
    EXPECT_EQ(config.devices[0].mediaModes, LINEMEDIAMODE_INTERACTIVEVOICE);
    EXPECT_EQ(config.devices[0].capsSize, 0u);
    EXPECT_EQ(config.reinitMs, 0u);
    EXPECT_EQ(config.initError, 0);
    EXPECT_EQ(config.script.text, "answer-then-hangup 30");
}

TEST(SimulatedLineConfigTest, MistakesNameTheKey) {
    const std::vector<std::pair<std::map<std::string, std::string>, const char*>> cases = {
        {{{"devices", "many"}}, "devices: \"many\" is not a number"},
        {{{"devices", "65"}}, "devices:"},
        {{{"device.1.media", "voice"}}, "device.1.media: there are only 1 devices"},
        {{{"device.0.media", "fax"}}, "device.0.media: unknown media mode \"fax\""},
        {{{"device.0.colour", "red"}}, "device.0.colour: unknown device setting"},
        {{{"device.x.name", "A"}}, "device.<number>.<setting>"},
        {{{"device.0.caps-size", "big"}}, "device.0.caps-size:"},
        {{{"device.0.negotiate", "maybe"}}, "ok or fail"},
        {{{"init.reinit", "soon"}}, "init.reinit: \"soon\" must be never, always"},
        {{{"init.error", "oops"}}, "init.error: \"oops\" is not a LINEERR_ code"},
        {{{"call-script", "ring"}}, "call-script: \"ring\" is not a step"},
        {{{"ring-tone", "x"}}, "ring-tone: unknown key"},
    };
    for (const auto& [keys, mentions] : cases) {
        platform::tapi::SimulatedLineConfig config;
        std::string error;
        EXPECT_FALSE(platform::tapi::ParseSimulatedLineConfig(keys, &config, &error)) << mentions;
        EXPECT_NE(error.find(mentions), std::string::npos) << error;
    }
}

TEST(TapiNamesTest, ReadAndWritten) {
    using platform::tapi::ParseTapiValue;
    using platform::tapi::TapiNameFamily;
    EXPECT_EQ(ParseTapiValue(TapiNameFamily::CallState, "Dialing"), LINECALLSTATE_DIALING);
    EXPECT_EQ(ParseTapiValue(TapiNameFamily::CallState, "linecallstate_connected"), LINECALLSTATE_CONNECTED);
    EXPECT_EQ(ParseTapiValue(TapiNameFamily::DevState, "reinit"), LINEDEVSTATE_REINIT);
    EXPECT_EQ(ParseTapiValue(TapiNameFamily::Message, "create"), LINE_CREATE);
    EXPECT_EQ(ParseTapiValue(TapiNameFamily::Error, "reinit"), 0x80000052u);
    EXPECT_EQ(ParseTapiValue(TapiNameFamily::Number, "0xFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseTapiValue(TapiNameFamily::Number, "0x100000000"), std::nullopt);
    EXPECT_EQ(ParseTapiValue(TapiNameFamily::Number, "dialing"), std::nullopt);
    EXPECT_EQ(platform::tapi::TapiValueName(TapiNameFamily::DisconnectMode, 0x40),
              "LINEDISCONNECTMODE_NOANSWER");
    EXPECT_EQ(platform::tapi::TapiValueName(TapiNameFamily::CallState, 0x3), "0x00000003");
    EXPECT_EQ(platform::tapi::TapiResultText(LINEERR_CALLUNAVAIL), "LINEERR_CALLUNAVAIL");
    EXPECT_EQ(platform::tapi::TapiResultText(7), "request 7");
}

// The codes the program relies on, with the device's values.
static_assert(static_cast<DWORD>(LINEERR_REINIT) == 0x80000052u);
static_assert(static_cast<DWORD>(LINEERR_NODEVICE) == 0x80000042u);
static_assert(static_cast<DWORD>(LINEERR_NOMEM) == 0x80000044u);
static_assert(static_cast<DWORD>(LINEERR_CALLUNAVAIL) == 0x80000005u);
static_assert(LINEERR_REINIT < 0 && LINEERR_CALLUNAVAIL < 0);

} // namespace
} // namespace lullwatch::test
