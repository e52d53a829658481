// The test program driven as a separate process through the automation channel, as the monitor's
// end-to-end tests will drive the monitor: listings, clicks, keys, text, soft keys, the menu, message
// boxes, waiting, snapshots, turning the screen, the display, and every way of ending the program; over
// standard input and output, over the socket, headless and in an SDL window under Xvfb.
#include "platform/automation/client/AutomationClient.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using platform::automation::AutomationClient;
using platform::automation::ClientReply;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr int kStartMs = 20000;

AutomationClient::Options TestOptions() {
    AutomationClient::Options options;
    options.program = TEST_PROGRAM;
    options.profile = std::string(PROFILES_DIR) + "/test.ini";
    return options;
}

// The width and height a PNG file's header gives.
std::pair<int, int> PngSize(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    const auto word = [&](int at) {
        return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
    };
    return {word(16), word(20)};
}

class TestProgramTest : public ::testing::Test {
protected:
    void Start(AutomationClient::Options options = TestOptions()) {
        std::string error;
        client = AutomationClient::Start(options, &error);
        ASSERT_TRUE(client) << error;
        ASSERT_TRUE(client->WaitFor("window \"Test program\"", kStartMs)) << client->Stderr();
        // The window shows before its modal loop runs; idle, the loop waits for input.
        ASSERT_TRUE(client->WaitFor("idle", kStartMs)) << client->Stderr();
    }

    // Runs a command that must succeed.
    ClientReply Ok(const std::string& line) {
        ClientReply reply = client->Command(line);
        EXPECT_TRUE(reply.ok) << line << "\n" << reply.Text() << "\n" << client->Stderr();
        return reply;
    }

    void ExpectStatus(const std::string& text) {
        EXPECT_TRUE(client->WaitFor("text foreground 1009 is \"" + text + "\"", 5000))
            << "status " << text << "\n"
            << client->Command("controls foreground").Text();
    }

    // Every test ends with a program that ended well: exit code 0 and no sanitizer report.
    void TearDown() override {
        if (!client) {
            return;
        }
        EXPECT_EQ(client->Quit(), 0);
        const std::string said = client->Stderr();
        for (const char* report :
             {"ThreadSanitizer", "AddressSanitizer", "LeakSanitizer", "runtime error:"}) {
            EXPECT_EQ(said.find(report), std::string::npos) << report;
        }
        if (HasFailure()) {
            std::fprintf(stderr, "--- the program's standard error:\n%s\n", said.c_str());
        }
    }

    std::string TempFile(const std::string& name) {
        return ::testing::TempDir() + std::to_string(getpid()) + "-" + name;
    }

    std::unique_ptr<AutomationClient> client;
};

TEST_F(TestProgramTest, ListsTheDialogWithEveryKindOfControl) {
    Start();
    const auto windows = Ok("windows");
    ASSERT_EQ(windows.lines.size(), 1u);
    EXPECT_THAT(windows.lines[0], HasSubstr("\"Test program\" class=\"#32770\""));
    EXPECT_THAT(windows.lines[0], HasSubstr("visible enabled modal foreground rect=0,26,240,294"));
    const auto controls = Ok("controls \"Test program\"").Text();
    const char* const expected[] = {
        "id=1001 class=\"STATIC\" text=\"Name:\"",
        "id=1002 class=\"EDIT\" text=\"\" enabled visible focus",
        "id=1003 class=\"BUTTON\" text=\"Copy\"",
        "id=1005 class=\"BUTTON\" text=\"Low\" enabled visible checked",
        "id=1006 class=\"BUTTON\" text=\"High\" enabled visible unchecked",
        "id=1007 class=\"msctls_progress32\" text=\"\" enabled visible range=0..10 pos=",
        "id=1008 class=\"msctls_trackbar32\" text=\"\" enabled visible range=0..20 pos=5",
        "id=1009 class=\"STATIC\" text=\"Ready\"",
    };
    for (const char* line : expected) {
        EXPECT_THAT(controls, HasSubstr(line));
    }
    EXPECT_THAT(Ok("screen").status, "240x320 portrait display=on frontend=headless");
}

TEST_F(TestProgramTest, ClicksKeysAndTextReachTheControls) {
    Start();
    Ok("click foreground 1002");
    Ok("type \"Ada Lovelacx\"");
    Ok("key backspace");
    Ok("type e");
    Ok("click foreground Copy");
    ExpectStatus("Copied: Ada Lovelace");

    // Tab order from Copy: Message, Low, the slider; the slider takes the arrow keys.
    Ok("key tab 3");
    EXPECT_TRUE(client->WaitFor("state foreground 1008 focus", 5000));
    Ok("key right 2");
    EXPECT_TRUE(client->WaitFor("pos foreground 1008 is 7", 5000));

    Ok("click foreground High");
    EXPECT_TRUE(client->WaitFor("state foreground High checked", 5000));
    EXPECT_TRUE(client->WaitFor("state foreground Low unchecked", 5000));
}

TEST_F(TestProgramTest, MessageBoxIsReadAndAnswered) {
    Start();
    Ok("click foreground Message");
    ASSERT_TRUE(client->WaitFor("msgbox Note", 5000));
    const auto box = Ok("msgbox");
    EXPECT_EQ(box.lines, (std::vector<std::string>{"caption \"Note\"", "text \"Hello from the test program\"",
                                                   "button id=1 \"OK\"", "button id=2 \"Cancel\""}));
    EXPECT_THAT(Ok("windows").Text(), HasSubstr("\"Note\" class=\"#32770\""));
    EXPECT_FALSE(client->Command("click \"Test program\" Copy").ok) << "the dialog is disabled under the box";
    Ok("msgbox press Cancel");
    ExpectStatus("Answer: Cancel");
    EXPECT_TRUE(client->WaitFor("nomsgbox", 5000));

    Ok("click foreground Message");
    ASSERT_TRUE(client->WaitFor("msgbox", 5000));
    Ok("softkey left"); // the box's "OK"
    ExpectStatus("Answer: OK");
}

TEST_F(TestProgramTest, SoftKeyMenuChoosesItsItems) {
    Start();
    EXPECT_EQ(Ok("menu").lines,
              (std::vector<std::string>{"left \"OK\" id=1", "right \"Menu\" popup", "item \"Reset\" id=32800",
                                        "item \"Hello\" id=32801", "item \"Display Off\" id=32802"}));
    Ok("menu Hello");
    ExpectStatus("Hello");
    EXPECT_FALSE(client->Command("menu Goodbye").ok);

    // The way a user goes: open the pop-up, then Enter on its first item.
    Ok("softkey right");
    Ok("key enter");
    ExpectStatus("Reset");
}

TEST_F(TestProgramTest, TimerMovesTheProgressBar) {
    Start();
    EXPECT_TRUE(client->WaitFor("pos foreground 1007 is 4", 10000));
    EXPECT_TRUE(client->WaitFor("pos foreground 1007 is 5", 10000));
}

TEST_F(TestProgramTest, SnapshotsFollowTheTurnedScreen) {
    Start();
    const std::string portrait = TempFile("portrait.png");
    const std::string landscape = TempFile("landscape.png");
    Ok("wait 5000 idle");
    EXPECT_EQ(Ok("snapshot " + portrait).status, portrait);
    EXPECT_EQ(PngSize(portrait), std::make_pair(240, 320));

    EXPECT_EQ(Ok("turn").status, "320x240");
    EXPECT_TRUE(client->WaitFor("idle", 5000));
    EXPECT_THAT(Ok("windows").Text(), HasSubstr("rect=0,26,320,214"));
    EXPECT_EQ(Ok("screen").status, "320x240 landscape display=on frontend=headless");
    Ok("snapshot " + landscape);
    EXPECT_EQ(PngSize(landscape), std::make_pair(320, 240));
    std::remove(portrait.c_str());
    std::remove(landscape.c_str());
    EXPECT_FALSE(client->Command("snapshot /nonexistent-folder/x.png").ok);
}

TEST_F(TestProgramTest, DisplayOffSwallowsTheInputThatWakesIt) {
    Start();
    Ok("menu \"Display Off\"");
    EXPECT_EQ(Ok("display").status, "off");
    EXPECT_THAT(Ok("click foreground Copy").status, StartsWith("the display was off"));
    EXPECT_EQ(Ok("display").status, "on");
    ExpectStatus("Ready");
    Ok("click foreground Copy");
    ExpectStatus("Copied: ");
}

TEST_F(TestProgramTest, QuitEndsTheProgramCleanly) {
    Start();
    EXPECT_EQ(Ok("quit").status, "quitting");
    EXPECT_EQ(client->WaitForExit(20000), 0);
    EXPECT_THAT(client->Stderr(), HasSubstr("asked to quit through the automation channel"));
}

TEST_F(TestProgramTest, QuitCancelsAnOpenMessageBoxFirst) {
    Start();
    Ok("click foreground Message");
    ASSERT_TRUE(client->WaitFor("msgbox Note", 5000));
    Ok("quit");
    EXPECT_EQ(client->WaitForExit(20000), 0);
}

TEST_F(TestProgramTest, TerminationSignalEndsTheProgram) {
    Start();
    ASSERT_EQ(kill(client->pid(), SIGTERM), 0);
    EXPECT_EQ(client->WaitForExit(20000), 0);
    EXPECT_THAT(client->Stderr(), HasSubstr("terminated; ending the program"));
}

TEST_F(TestProgramTest, LeftSoftKeyEndsTheProgram) {
    Start();
    Ok("softkey left");
    EXPECT_EQ(client->WaitForExit(20000), 0);
}

TEST_F(TestProgramTest, EndOfInputEndsTheProgram) {
    Start();
    client->EndInput();
    EXPECT_EQ(client->WaitForExit(20000), 0);
    EXPECT_THAT(client->Stderr(), HasSubstr("the automation input ended"));
}

TEST_F(TestProgramTest, SocketChannelIsPrivateAndRemovedAtExit) {
    auto options = TestOptions();
    options.settings.push_back("automation.channel=socket");
    options.socket = true;
    Start(options);
    const std::string path = client->SocketPath();
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0) << path;
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    Ok("click foreground Copy");
    ExpectStatus("Copied: ");
    Ok("quit");
    EXPECT_EQ(client->WaitForExit(20000), 0);
    EXPECT_NE(access(path.c_str(), F_OK), 0) << "the socket is gone";
}

TEST_F(TestProgramTest, SdlWindowUnderXvfb) {
    if (access("/usr/bin/xvfb-run", X_OK) != 0) {
        GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
    }
    auto options = TestOptions();
    options.launcher = {"/usr/bin/xvfb-run", "-a"};
    options.settings.push_back("screen.frontend=sdl");
    // SDL and the libraries under it (D-Bus, X11, Mesa) leave allocations behind at exit, in code whose
    // stacks cannot be unwound to be suppressed; every other test runs the same device with leak checks.
    const char* asan = std::getenv("ASAN_OPTIONS");
    options.environment.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":detect_leaks=0");
    Start(options);
    EXPECT_EQ(Ok("screen").status, "240x320 portrait display=on frontend=sdl");
    Ok("click foreground 1002");
    Ok("type Xvfb");
    Ok("click foreground Copy");
    ExpectStatus("Copied: Xvfb");
    EXPECT_EQ(Ok("turn").status, "320x240");
    const std::string path = TempFile("sdl.png");
    Ok("wait 5000 idle");
    Ok("snapshot " + path);
    EXPECT_EQ(PngSize(path), std::make_pair(320, 240));
    std::remove(path.c_str());
    Ok("quit");
    EXPECT_EQ(client->WaitForExit(20000), 0);
    EXPECT_THAT(client->Stderr(), HasSubstr("screen in a window"));
}

TEST(TestProgramStartTest, BadProfilesStopTheStartWithTheirReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"screen.zoom=9", "test.ini, section [screen], key zoom: '9' is not a whole number from 1 to 6"},
        {"screen.color=blue", "section [screen], key color: unknown key"},
        {"radio.band=fm", "test.ini: unknown section [radio]"},
        {"sound.source=radio", "section [sound]: bad value 'radio' for key 'source'"},
        {"line.service=isdn", "section [line], key service: 'isdn' is not simulated, sip, modem, ofono or none"},
        {"device.clock_factor", "--set device.clock_factor: expected <section>.<key>=<value>"},
    };
    for (const auto& [setting, message] : cases) {
        auto options = TestOptions();
        options.settings.push_back(setting);
        std::string error;
        auto client = AutomationClient::Start(options, &error);
        ASSERT_TRUE(client) << error;
        EXPECT_EQ(client->WaitForExit(20000), 2) << setting;
        EXPECT_THAT(client->Stderr(), HasSubstr(message)) << setting;
    }
}

} // namespace
