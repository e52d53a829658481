// Display Off: SetSystemPowerState turns the display off and tells the listener; the next key press or
// click only wakes it and is not delivered; and the keep-awake call's record.
#include "platform/shell/Power.h"
#include "platform/shell/PowerApi.h"
#include "tests/controls/DialogHarness.h"

namespace lullwatch::test {
namespace {

using platform::shell::IsDisplayOn;

const DLGITEMTEMPLATE kItems[] = {
    {WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 10, 10, 80, 12, 1003, L"EDIT", L""},
    {WS_VISIBLE | WS_TABSTOP, 0, 10, 40, 60, 14, 1000, L"BUTTON", L"Run"},
};
const DLGTEMPLATE kTemplate = {WS_POPUP | WS_CAPTION, 0, 0,       0,      113, 116,
                               L"Power test",         0, nullptr, kItems, 2};

class Power : public ::testing::Test {
protected:
    void SetUp() override {
        platform::shell::SetDisplayListener([this](bool on) { changes.push_back(on); });
    }
    void TearDown() override {
        platform::shell::SetDisplayListener(nullptr);
        platform::shell::SetDisplayOn(true);
    }
    std::vector<bool> changes; // the listener runs on this thread: the tests switch the display here
};

TEST_F(Power, IdleStateTurnsTheDisplayOffAndOnTurnsItOn) {
    EXPECT_TRUE(IsDisplayOn());
    EXPECT_EQ(SetSystemPowerState(nullptr, POWER_STATE_IDLE, 0), ERROR_SUCCESS);
    EXPECT_FALSE(IsDisplayOn());
    EXPECT_EQ(SetSystemPowerState(nullptr, POWER_STATE_IDLE, 0), ERROR_SUCCESS); // no second change
    EXPECT_EQ(SetSystemPowerState(nullptr, POWER_STATE_ON, 0), ERROR_SUCCESS);
    EXPECT_TRUE(IsDisplayOn());
    EXPECT_EQ(SetSystemPowerState(nullptr, POWER_STATE_SUSPEND, 0), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST_F(Power, TheWakingKeyIsSwallowedAndTheNextOneDelivered) {
    DialogHarness d(&kTemplate);
    const HWND edit = d.Item(1003);
    ASSERT_TRUE(Eventually([&] { return HasFocus(edit); }));
    SetSystemPowerState(nullptr, POWER_STATE_IDLE, 0);
    platform::shell::UserKey(L'5', true);
    platform::shell::UserChar(L'5');
    platform::shell::UserKey(L'5', false);
    EXPECT_TRUE(IsDisplayOn());
    platform::shell::UserKey(L'6', true);
    platform::shell::UserChar(L'6');
    platform::shell::UserKey(L'6', false);
    ASSERT_TRUE(Eventually([&] { return TextOf(edit) == L"6"; }));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(TextOf(edit), L"6");
    EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST_F(Power, TheWakingClickIsSwallowed) {
    DialogHarness d(&kTemplate);
    const HWND run = d.Item(1000);
    SetSystemPowerState(nullptr, POWER_STATE_IDLE, 0);
    platform::shell::UserClick(Centre(run));
    EXPECT_TRUE(IsDisplayOn());
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.log.commands(1000), 0u);
    platform::shell::UserClick(Centre(run));
    ASSERT_TRUE(Eventually([&] { return d.log.commands(1000) == 1; }));
}

TEST_F(Power, TimersAndMessagesGoOnWhileTheDisplayIsOff) {
    DialogHarness d(&kTemplate);
    SetSystemPowerState(nullptr, POWER_STATE_IDLE, 0);
    SendMessage(d.Item(1003), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"still here"));
    EXPECT_EQ(TextOf(d.Item(1003)), L"still here");
    PostMessage(d.dialog, WM_COMMAND, 1000, 0);
    ASSERT_TRUE(Eventually([&] { return d.log.commands(1000) == 1; }));
    EXPECT_FALSE(IsDisplayOn());
}

TEST(KeepAwake, RecordsEachCall) {
    const auto before = platform::shell::IdleTimerResetCount();
    const auto start = std::chrono::steady_clock::now();
    SystemIdleTimerReset();
    SystemIdleTimerReset();
    EXPECT_EQ(platform::shell::IdleTimerResetCount(), before + 2);
    const auto last = platform::shell::LastIdleTimerReset();
    ASSERT_TRUE(last.has_value());
    EXPECT_GE(*last, start);
}

TEST(UnattendedMode, HeldWhileAnyRequestIsAndTheListenerHearsEachChange) {
    std::vector<bool> heard;
    platform::shell::SetUnattendedListener([&](bool held) { heard.push_back(held); });
    struct Step {
        DWORD message;
        DWORD data;
        bool held; // afterwards
    };
    const Step steps[] = {
        {PPN_UNATTENDEDMODE, TRUE, true},   {PPN_UNATTENDEDMODE, TRUE, true},   // a second request
        {PPN_UNATTENDEDMODE, FALSE, true},  {0x0001, FALSE, true},              // another message: ignored
        {PPN_UNATTENDEDMODE, FALSE, false}, {PPN_UNATTENDEDMODE, FALSE, false}, // one too many: harmless
    };
    for (const Step& s : steps) {
        EXPECT_EQ(PowerPolicyNotify(s.message, s.data), TRUE);
        EXPECT_EQ(platform::shell::IsUnattendedMode(), s.held);
    }
    platform::shell::SetUnattendedListener(nullptr);
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

} // namespace
} // namespace lullwatch::test
