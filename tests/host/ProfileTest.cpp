// The device profile: reading the INI file (continuations, repeated keys, bad lines), the command
// line's overrides, and what each key means or why a value is refused.
#include "platform/host/CommandLine.h"
#include "platform/host/DeviceProfile.h"
#include "platform/host/ProfileFile.h"
#include "platform/screen/SdlFrontEnd.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

using namespace platform::host;
using ::testing::HasSubstr;

class ProfileFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& text) {
        path = ::testing::TempDir() + "profile-" + std::to_string(getpid()) + ".ini";
        std::ofstream(path) << text;
        return path;
    }
    void TearDown() override { std::remove(path.c_str()); }
    std::string path;
};

TEST_F(ProfileFileTest, ReadsSectionsAndKeysInLowerCase) {
    ProfileFile file;
    std::string error;
    ASSERT_TRUE(ReadProfileFile(Write("; a comment\n[Screen]\nZoom = 3\n\n[line]\ncall-script = 0:reply\n"
                                      "  600:dialing   ; continued\n"),
                                &file, &error))
        << error;
    EXPECT_EQ(file.sections["screen"]["zoom"], "3");
    EXPECT_EQ(file.sections["line"]["call-script"], "0:reply 600:dialing");
    EXPECT_EQ(file.directory, path.substr(0, path.rfind('/')));
}

TEST_F(ProfileFileTest, RefusesRepeatedKeysBadLinesAndMissingFiles) {
    ProfileFile file;
    std::string error;
    for (const char* twice : {"[screen]\nzoom = 2\nfrontend = sdl\nzoom = 3\n",
                              "[screen]\nzoom = 2\nzoom = 3\n", "[screen]\nzoom = 2\nZoom=3\n"}) {
        EXPECT_FALSE(ReadProfileFile(Write(twice), &file, &error)) << twice;
        EXPECT_EQ(error, path + ": section [screen], key zoom: given twice") << twice;
    }
    EXPECT_FALSE(ReadProfileFile(Write("[screen]\nzoom = 2\nthis is not a key\n"), &file, &error));
    EXPECT_EQ(error, path + ", line 3: not a [section] or a key = value line");
    EXPECT_FALSE(ReadProfileFile("/nonexistent/profile.ini", &file, &error));
    EXPECT_EQ(error, "/nonexistent/profile.ini: cannot open the profile");
}

TEST(ProfileOverrideTest, ReplacesOrAddsKeys) {
    ProfileFile file;
    file.sections["device"]["clock_factor"] = "1";
    std::string error;
    EXPECT_TRUE(ApplyOverride("device.clock_factor=10", &file, &error));
    EXPECT_TRUE(ApplyOverride("Line.device.0.name=Desk phone", &file, &error));
    EXPECT_TRUE(ApplyOverride("device.data_root=", &file, &error));
    EXPECT_EQ(file.sections["device"]["clock_factor"], "10");
    EXPECT_EQ(file.sections["line"]["device.0.name"], "Desk phone");
    EXPECT_EQ(file.sections["device"]["data_root"], "");
    for (const char* bad : {"clock_factor=10", "device.=1", ".x=1", "device.zoom"}) {
        EXPECT_FALSE(ApplyOverride(bad, &file, &error)) << bad;
        EXPECT_EQ(error, std::string("--set ") + bad + ": expected <section>.<key>=<value>");
    }
}

DeviceProfile Parse(const std::map<std::string, std::map<std::string, std::string>>& sections,
                    std::string* error) {
    ProfileFile file{"p.ini", "/profiles", sections};
    DeviceProfile profile;
    *error = "";
    ParseDeviceProfile(file, &profile, error);
    return profile;
}

TEST(DeviceProfileTest, DefaultsWhenNothingIsSaid) {
    std::string error;
    const auto p = Parse({}, &error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(p.clockFactor, 1);
    EXPECT_EQ(p.dataRoot, DeviceProfile::DataRoot::Default);
    EXPECT_EQ(p.frontEnd, platform::screen::FrontEndChoice::Auto);
    EXPECT_FALSE(p.landscape);
    EXPECT_EQ(p.zoom, 2);
    EXPECT_EQ(p.automation, DeviceProfile::Automation::Socket);
    EXPECT_EQ(p.sound.source, platform::wave::WaveConfig::Source::Generator);
    EXPECT_EQ(p.lineService, DeviceProfile::LineService::Simulated);
    EXPECT_EQ(p.connectTimeoutMs, 90000u);
}

TEST(DeviceProfileTest, KeysSetTheirValues) {
    std::string error;
    const auto p = Parse(
        {{"device", {{"clock_factor", "2.5"}, {"data_root", "data"}}},
         {"screen", {{"frontend", "Headless"}, {"orientation", "landscape"}, {"zoom", "3"}}},
         {"automation", {{"channel", "stdio"}, {"socket", "/run/x.sock"}}},
         {"sound", {{"recording", "sounds/a.wav"}, {"loop", "yes"}}}, // not played: need not exist
         {"line", {{"service", "none"}, {"connect_timeout", "45"}, {"emergency_numbers", "117, 1-4-4 15"}}}},
        &error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(p.clockFactor, 2.5);
    EXPECT_EQ(p.dataRoot, DeviceProfile::DataRoot::Folder);
    EXPECT_EQ(p.dataFolder, "/profiles/data");
    EXPECT_EQ(p.frontEnd, platform::screen::FrontEndChoice::Headless);
    EXPECT_TRUE(p.landscape);
    EXPECT_EQ(p.zoom, 3);
    EXPECT_EQ(p.automation, DeviceProfile::Automation::Stdio);
    EXPECT_EQ(p.socketPath, "/run/x.sock");
    EXPECT_EQ(p.sound.recordingPath, "/profiles/sounds/a.wav");
    EXPECT_TRUE(p.sound.loop);
    EXPECT_EQ(p.lineService, DeviceProfile::LineService::None);
    EXPECT_EQ(p.connectTimeoutMs, 45000u);
    // A key of every service, so the service's own keys never see it.
    EXPECT_EQ(
        Parse({{"line", {{"service", "sip"}, {"user", "m"}, {"domain", "d"}, {"connect_timeout", "20"}}}},
              &error)
            .connectTimeoutMs,
        20000u);
    EXPECT_EQ(error, "");
    EXPECT_EQ(p.emergencyNumbers, (std::vector<std::string>{"117", "144", "15"}));
    EXPECT_EQ(Parse({{"screen", {{"zoom", "fit"}}}}, &error).zoom, platform::screen::SdlFrontEnd::kZoomFit);
    const auto modem = Parse({{"line", {{"service", "modem"}, {"modem", "860000000000001"}}}}, &error);
    EXPECT_EQ(modem.lineService, DeviceProfile::LineService::Modem);
    EXPECT_EQ(modem.modemLine.modem, "860000000000001");

    EXPECT_EQ(Parse({{"device", {{"data_root", "temporary"}}}}, &error).dataRoot,
              DeviceProfile::DataRoot::Temporary);
    setenv("HOME", "/home/tester", 1);
    EXPECT_EQ(Parse({{"device", {{"data_root", "~/lw"}}}}, &error).dataFolder, "/home/tester/lw");
}

TEST(DeviceProfileTest, BadValuesNameTheFileSectionAndKey) {
    struct Case {
        std::map<std::string, std::map<std::string, std::string>> sections;
        const char* message;
    };
    const Case cases[] = {
        {{{"bogus", {{"x", "1"}}}}, "p.ini: unknown section [bogus]"},
        {{{"device", {{"clock_factor", "0"}}}},
         "p.ini, section [device], key clock_factor: '0' is not a number"},
        {{{"device", {{"clock_factor", "fast"}}}}, "p.ini, section [device], key clock_factor: 'fast'"},
        {{{"device", {{"speed", "2"}}}},
         "p.ini, section [device], key speed: unknown key (known: clock_factor data_root)"},
        {{{"screen", {{"zoom", "9"}}}},
         "p.ini, section [screen], key zoom: '9' is not a whole number from 1 to 6 or fit"},
        {{{"screen", {{"zoom", "1.5"}}}}, "p.ini, section [screen], key zoom"},
        {{{"screen", {{"frontend", "x11"}}}},
         "p.ini, section [screen], key frontend: 'x11' is not auto, sdl or headless"},
        {{{"screen", {{"orientation", "upside"}}}}, "p.ini, section [screen], key orientation"},
        {{{"automation", {{"channel", "tcp"}}}},
         "p.ini, section [automation], key channel: 'tcp' is not socket"},
        {{{"sound", {{"source", "radio"}}}}, "p.ini, section [sound]: bad value 'radio' for key 'source'"},
        {{{"sound", {{"colour", "red"}}}}, "p.ini, section [sound]: unknown key 'colour'"},
        {{{"sound", {{"source", "recording"}, {"recording", "sounds/none.wav"}}}},
         "p.ini, section [sound], key recording: /profiles/sounds/none.wav does not exist"},
        {{{"line", {{"service", "isdn"}}}},
         "p.ini, section [line], key service: 'isdn' is not simulated, sip, modem, ofono or none"},
        {{{"line", {{"devices", "many"}}}}, "p.ini, section [line], key devices"},
        {{{"line", {{"service", "modem"}, {"call-script", "busy"}}}},
         "p.ini, section [line], key call-script: not a key of the modem service"},
        {{{"line", {{"service", "modem"}, {"wait_ms", "-1"}}}}, "p.ini, section [line], key wait_ms"},
        {{{"line", {{"emergency_numbers", "117;police"}}}}, "p.ini, section [line], key emergency_numbers"},
        {{{"line", {{"service", "sip"}, {"domain", "example.org"}}}},
         "p.ini, section [line], key user: the sip service needs the account's user and domain"},
        {{{"line", {{"service", "sip"}, {"user", "m"}, {"domain", "d"}, {"call-script", "busy"}}}},
         "p.ini, section [line], key call-script: not a key of the sip service"},
        {{{"line", {{"call-script", "sing"}}}}, "p.ini, section [line], key call-script"},
        {{{"line", {{"connect_timeout", "0"}}}},
         "p.ini, section [line], key connect_timeout: '0' is not a whole number of seconds from 1 to 3600"},
        {{{"line", {{"connect_timeout", "1.5"}}}}, "p.ini, section [line], key connect_timeout"},
        {{{"device", {{"clock_factor", "10"}}}, {"sound", {{"source", "alsa"}}}},
         "p.ini, section [device], key clock_factor: must be 1 with a real microphone"},
    };
    for (const auto& c : cases) {
        std::string error;
        Parse(c.sections, &error);
        EXPECT_THAT(error, HasSubstr(c.message));
    }
}

TEST(CommandLineTest, TakesTheProfileAndOverrides) {
    const char* argv[] = {"prog", "--profile", "x.ini", "--set", "a.b=1", "--set=c.d=2", "--profile=y.ini"};
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(7, argv, &line, &error)) << error;
    EXPECT_EQ(line.profile, "y.ini");
    EXPECT_EQ(line.overrides, (std::vector<std::string>{"a.b=1", "c.d=2"}));
    EXPECT_FALSE(line.help);

    const char* bare[] = {"prog", "--version"};
    ASSERT_TRUE(ParseCommandLine(2, bare, &line, &error));
    EXPECT_EQ(line.profile, "");
    EXPECT_TRUE(line.version);

    const char* bad[] = {"prog", "--zoom"};
    EXPECT_FALSE(ParseCommandLine(2, bad, &line, &error));
    EXPECT_EQ(error, "unknown argument --zoom");
    const char* cut[] = {"prog", "--set"};
    EXPECT_FALSE(ParseCommandLine(2, cut, &line, &error));
    EXPECT_EQ(error, "--set needs a value");
}

} // namespace
