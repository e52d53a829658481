// The automation channel in process, on a dialog of real controls run by a window thread: listings,
// clicks and typing through the input path, waiting, message boxes, device commands and refusals.
#include "platform/automation/Channel.h"
#include "platform/automation/DeviceCommands.h"
#include "platform/controls/ControlClasses.h"
#include "platform/shell/Power.h"
#include "support/WindowThread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

namespace {

using platform::automation::Channel;
using platform::automation::ChannelHooks;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr UINT kAskMessage = WM_APP + 5;
std::atomic<int> g_lastCommand{0};
std::atomic<int> g_answer{0};

const DLGITEMTEMPLATE kItems[] = {
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 4, 4, 50, 14, 10, L"BUTTON", L"&Go"},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 4, 22, 100, 12, 11, L"EDIT", L""},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 4, 38, 50, 10, 12, L"BUTTON",
     L"One"},
    {WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 60, 38, 50, 10, 13, L"BUTTON", L"Two"},
    {WS_CHILD | WS_VISIBLE | WS_GROUP, 0, 4, 52, 100, 10, 14, L"msctls_progress32", L""},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 4, 66, 100, 16, 15, L"msctls_trackbar32", L""},
    {WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 4, 86, 100, 8, 16, L"STATIC", L"Idle"},
    {WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, 0, 60, 4, 50, 14, 17, L"BUTTON", L"Off"},
};
const DLGTEMPLATE kPanel = {WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT,
                            0,
                            0,
                            0,
                            120,
                            134,
                            L"Panel",
                            8,
                            L"Tahoma",
                            kItems,
                            static_cast<WORD>(std::size(kItems))};

INT_PTR PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND) {
        g_lastCommand = LOWORD(wParam);
        return TRUE;
    }
    if (msg == kAskMessage) {
        g_answer = MessageBox(hwnd, L"Go on?", L"Question", MB_OKCANCEL);
        return TRUE;
    }
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

class ChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::desktop::SetScreenSize(240, 320);
        platform::shell::SetDisplayOn(true);
        platform::controls::RegisterControlClasses();
        g_lastCommand = 0;
        g_answer = 0;
        windows.Run([&] {
            panel = CreateDialogIndirectParam(nullptr, &kPanel, nullptr, PanelProc, 0);
            SendDlgItemMessage(panel, 14, PBM_SETRANGE, 0, MAKELPARAM(0, 5));
            SendDlgItemMessage(panel, 14, PBM_SETPOS, 3, 0);
            SendDlgItemMessage(panel, 15, TBM_SETRANGEMAX, TRUE, 20);
            SendDlgItemMessage(panel, 15, TBM_SETPOS, TRUE, 7);
            CheckDlgButton(panel, 13, BST_CHECKED);
        });
    }

    std::string Run(const std::string& line) { return channel.Execute(line); }

    bool Eventually(const std::function<bool()>& condition) {
        return platform::desktop::WaitUntil(condition, std::chrono::seconds(10));
    }

    std::atomic<int> quits{0};
    Channel channel{ChannelHooks{nullptr, [this] { ++quits; }}};
    testing_support::WindowThread windows;
    HWND panel = nullptr;
};

TEST_F(ChannelTest, ListsTheWindowsAndTheirControls) {
    const std::string windowsReply = Run("windows");
    EXPECT_THAT(windowsReply, HasSubstr("\"Panel\" class=\"#32770\""));
    EXPECT_THAT(windowsReply, HasSubstr("visible enabled foreground rect=0,26,240,294"));
    EXPECT_THAT(windowsReply, HasSubstr("ok 1 windows\n"));

    const std::string controls = Run("controls Panel");
    const char* const expected[] = {
        "control id=10 class=\"BUTTON\" text=\"&Go\" enabled visible",
        "control id=11 class=\"EDIT\" text=\"\" enabled visible",
        "control id=12 class=\"BUTTON\" text=\"One\" enabled visible unchecked",
        "control id=13 class=\"BUTTON\" text=\"Two\" enabled visible checked",
        "control id=14 class=\"msctls_progress32\" text=\"\" enabled visible range=0..5 pos=3",
        "control id=15 class=\"msctls_trackbar32\" text=\"\" enabled visible range=0..20 pos=7",
        "control id=16 class=\"STATIC\" text=\"Idle\" enabled visible rect=",
        "control id=17 class=\"BUTTON\" text=\"Off\" disabled visible",
    };
    for (const char* line : expected) {
        EXPECT_THAT(controls, HasSubstr(line));
    }
    EXPECT_THAT(controls, HasSubstr("ok 8 controls\n"));
    EXPECT_EQ(Run("controls foreground"), controls);
}

TEST_F(ChannelTest, ClicksReachTheControlThroughTheInputPath) {
    EXPECT_THAT(Run("click Panel Go"), StartsWith("ok clicked "));
    EXPECT_TRUE(Eventually([] { return g_lastCommand == 10; }));
    EXPECT_THAT(Run("click Panel id=12"), StartsWith("ok"));
    EXPECT_TRUE(Eventually([this] { return IsDlgButtonChecked(panel, 12) == BST_CHECKED; }));
    EXPECT_EQ(IsDlgButtonChecked(panel, 13), BST_UNCHECKED);
}

TEST_F(ChannelTest, TypesIntoTheFocusedControl) {
    Run("click Panel 11");
    EXPECT_EQ(Run("type \"hi there\""), "ok 8 characters\n");
    EXPECT_THAT(Run("wait 5000 text Panel 11 is \"hi there\""), StartsWith("ok "));
}

TEST_F(ChannelTest, WaitsForConditionsThatHold) {
    platform::automation::RegisterDeviceCommand("echo", "answers its words",
                                                [](const std::vector<std::string>& args) {
                                                    std::string text;
                                                    for (const auto& a : args) {
                                                        text += (text.empty() ? "" : " ") + a;
                                                    }
                                                    return platform::automation::CommandResult{true, text};
                                                });
    const char* const conditions[] = {
        "window Panel",
        "nowindow Other",
        "text Panel 16 contains dl",
        "state Panel 17 disabled",
        "state Panel 13 checked",
        "pos Panel 15 is 7",
        "nomsgbox",
        "idle",
        "device \"echo all is well\" contains well",
    };
    for (const char* condition : conditions) {
        EXPECT_THAT(Run(std::string("wait 5000 ") + condition), StartsWith("ok ")) << condition;
    }
}

TEST_F(ChannelTest, AWaitThatTimesOutSaysWhatItSaw) {
    EXPECT_EQ(Run("wait 50 text Panel 16 is Busy"), "error timeout after 50 ms: text \"Idle\"\n");
    EXPECT_THAT(Run("wait 50 window Other"), StartsWith("error timeout after 50 ms: no such window"));
    EXPECT_THAT(Run("wait 50 msgbox"), StartsWith("error timeout after 50 ms: no message box"));
}

TEST_F(ChannelTest, ReadsAndAnswersTheTopmostMessageBox) {
    EXPECT_EQ(Run("msgbox"), "error no message box\n");
    PostMessage(panel, kAskMessage, 0, 0);
    EXPECT_THAT(Run("wait 5000 msgbox Question"), StartsWith("ok "));
    const std::string box = Run("msgbox");
    EXPECT_THAT(
        box, HasSubstr(
                 "caption \"Question\"\ntext \"Go on?\"\nbutton id=1 \"OK\"\nbutton id=2 \"Cancel\"\nok 0x"));
    EXPECT_THAT(Run("windows"), HasSubstr("\"Question\""));
    EXPECT_THAT(Run("msgbox press maybe"), StartsWith("error the message box has no button"));
    EXPECT_THAT(Run("msgbox press cancel"), StartsWith("ok clicked"));
    EXPECT_TRUE(Eventually([] { return g_answer == IDCANCEL; }));
    EXPECT_THAT(Run("wait 5000 nomsgbox"), StartsWith("ok "));
}

TEST_F(ChannelTest, DeviceCommandsGoToTheirService) {
    platform::automation::RegisterDeviceCommand(
        "probe", "a test service", [](const std::vector<std::string>& args) {
            if (args.empty()) {
                return platform::automation::CommandResult{false, "say something"};
            }
            if (args[0] == "lines") {
                return platform::automation::CommandResult{true, "first\nok second\nthird\n"};
            }
            return platform::automation::CommandResult{true, args[0]};
        });
    EXPECT_EQ(Run("probe \"one word\""), "ok one word\n");
    EXPECT_EQ(Run("probe lines"), "first\n ok second\nthird\nok\n");
    EXPECT_EQ(Run("probe"), "error say something\n");
    EXPECT_THAT(Run("help"), HasSubstr("device probe: a test service\n"));
}

TEST_F(ChannelTest, RefusesWhatItCannotDoWithAReason) {
    const std::pair<const char*, const char*> table[] = {
        {"", "error empty command; try help"},
        {"dance", "error unknown command dance; try help"},
        {"click Panel 99", "error no control with id 99"},
        {"click Panel Nothing", "error no control \"Nothing\""},
        {"click Nowhere 10", "error no window \"Nowhere\""},
        {"click Panel Off", "error control 17 is disabled"},
        {"click 1", "error usage: click <window> <control> | click <x> <y>"},
        {"key", "error usage: key <name> [<count>]"},
        {"key return", "error unknown key return; try help"},
        {"key enter 0", "error bad count 0 (1..1000)"},
        {"softkey middle", "error usage: softkey left|right"},
        {"wait", "error usage: wait <ms 0..600000> <condition>"},
        {"wait soon window Panel", "error usage: wait <ms 0..600000> <condition>"},
        {"wait 10 sunrise", "error unknown or malformed condition; try help"},
        {"wait 10 text Panel 16 equals Idle",
         "error usage: wait <ms> text <window> <control> is|contains <text>"},
        {"snapshot", "error usage: snapshot <file.png>"},
        {"snapshot a.png", "error no screen is running"},
        {"turn", "error no screen is running"},
        {"menu", "error the foreground window has no soft-key menu"},
    };
    for (const auto& [command, reply] : table) {
        EXPECT_EQ(Run(command), std::string(reply) + "\n") << command;
    }
}

TEST_F(ChannelTest, QuitAsksTheHostToEndTheProgram) {
    EXPECT_EQ(Run("quit"), "ok quitting\n");
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(Run("display"), "ok on\n");
}

} // namespace
