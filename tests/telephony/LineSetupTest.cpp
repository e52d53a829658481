// Starting and ending the use of TAPI: waiting out a reinitialising service (with and without the user's
// say), no devices, the choice of the voice device, capability buffers, device names, devices that
// appear later, and a shutdown that runs twice.
#include "TelephonyTestSupport.h"

#include "platform/win/Clock.h"
#include "telephony/LineSetup.h"

#include <cstring>

namespace lullwatch::test {
namespace {

using platform::Clock;

constexpr wchar_t kReinitText[] =
    L"Cannot initialize tapi.dll.\nQuit all other telephony\nprograms, and try again.";

class LineSetupTest : public TelephonyTest {};

TEST_F(LineSetupTest, ReinitForThreeSecondsThenGoesOnWithoutABox) {
    Install({{"init.reinit", "3000"}});
    Clock::SetFactor(20.0);
    StartupThread startup(instance_);
    // A box would block start-up until answered, and nobody answers here.
    const auto result = startup.Result();
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, 0);

    const auto attempts = JournalOf("lineInitialize");
    ASSERT_GE(attempts.size(), 2u);
    EXPECT_EQ(attempts.front().result, LINEERR_REINIT);
    EXPECT_EQ(attempts.back().result, 0);
    for (const auto& attempt : attempts) {
        EXPECT_EQ(attempt.text, L"Lullwatch");
    }
    std::lock_guard lock(g_telephony.lock);
    EXPECT_NE(g_telephony.hLineApp, 0u);
    EXPECT_EQ(g_telephony.currentDeviceId, 0u);
}

TEST_F(LineSetupTest, ReinitThroughoutAsksEveryFiveSecondsUntilTheUserGivesUp) {
    Install({{"init.reinit", "always"}});
    Clock::SetFactor(50.0);
    const std::uint64_t started = Clock::NowMs();
    StartupThread startup(instance_);

    const auto first = WaitForMessageBox();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->caption, L"Warning");
    EXPECT_EQ(first->text, kReinitText);
    EXPECT_EQ(first->type, MB_OKCANCEL);
    EXPECT_EQ(first->owner, nullptr);
    EXPECT_GT(first->seenAtMs - started, 5000u);

    const std::uint64_t cancelled = Clock::NowMs();
    ASSERT_TRUE(Answer(first->hwnd, IDCANCEL));
    const auto second = WaitForMessageBox(first->hwnd);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->caption, L"Warning");
    EXPECT_GT(second->seenAtMs - cancelled, 5000u);
    ASSERT_TRUE(Answer(second->hwnd, IDOK));

    const auto result = startup.Result();
    ASSERT_TRUE(result);
    EXPECT_EQ(static_cast<DWORD>(*result), 0x80000052u);
    {
        std::lock_guard lock(g_telephony.lock);
        EXPECT_EQ(g_telephony.hLineApp, 0u);
        EXPECT_EQ(g_telephony.deviceTable, nullptr);
    }
    // The main window shuts telephony down after a failed start-up: nothing to shut down.
    TelephonyShutdown();
    EXPECT_TRUE(JournalOf("lineShutdown").empty());
}

TEST_F(LineSetupTest, NoLineDevicesIsToldAndFails) {
    Install({{"devices", "0"}});
    StartupThread startup(instance_);
    const auto box = WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, L"Message");
    EXPECT_EQ(box->text, L"There are no line devices available.");
    EXPECT_EQ(box->type, MB_OK);
    EXPECT_EQ(box->owner, nullptr);
    ASSERT_TRUE(Answer(box->hwnd, IDOK));
    const auto result = startup.Result();
    ASSERT_TRUE(result);
    EXPECT_EQ(static_cast<DWORD>(*result), 0x80000042u);
}

struct ChoiceRow {
    const char* what;
    std::map<std::string, std::string> keys;
    DWORD chosen;          // kNoDevice: none
    std::wstring lineName; // of the chosen device
};

const std::wstring kLongName(300, L'n');

const ChoiceRow kChoices[] = {
    {"voice on device 2 of 3",
     {{"devices", "3"}, {"device.0.media", "data"}, {"device.1.media", "none"}, {"device.2.name", "Cell"}},
     2,
     L"Cell"},
    {"a failed negotiation is skipped",
     {{"devices", "2"}, {"device.0.negotiate", "fail"}, {"device.1.name", "Second"}},
     1,
     L"Second"},
    {"no voice anywhere",
     {{"devices", "2"}, {"device.0.media", "data"}, {"device.1.media", "g3fax"}},
     kNoDevice,
     L""},
    {"unnamed device named by number",
     {{"devices", "4"},
      {"device.0.media", "data"},
      {"device.1.media", "data"},
      {"device.2.media", "data"},
      {"device.3.name", "none"}},
     3,
     L"Line 3"},
    {"long name cut to 255 characters",
     {{"devices", "1"}, {"device.0.name", std::string(300, 'n')}},
     0,
     kLongName.substr(0, 255)},
};

TEST_F(LineSetupTest, ChoosesTheFirstVoiceDevice) {
    for (const ChoiceRow& row : kChoices) {
        SCOPED_TRACE(row.what);
        ResetTelephonyState();
        StartTelephony(row.keys);
        {
            std::lock_guard lock(g_telephony.lock);
            EXPECT_EQ(g_telephony.currentDeviceId, row.chosen);
            EXPECT_EQ(g_telephony.deviceTableSize, 1u);
            const LineInfo& line = g_telephony.currentLine;
            EXPECT_EQ(line.hLine, 0u);
            if (row.chosen == kNoDevice) {
                const LineInfo zero{};
                EXPECT_EQ(std::memcmp(&line, &zero, sizeof zero), 0);
            } else {
                EXPECT_EQ(line.voiceCapable, 4u);
                EXPECT_EQ(line.apiVersion, 0x00020000u);
                EXPECT_EQ(line.numAddresses, 1u);
                EXPECT_EQ(line.permanentLineId, 0x5100u + row.chosen); // the simulated line's numbering
                EXPECT_EQ(std::wstring(line.lineName), row.lineName);
                // The scan's working record is the chosen device's.
                EXPECT_EQ(std::memcmp(&line, &g_telephony.deviceTable[0], sizeof line), 0);
            }
        }
        for (const auto& negotiation : JournalOf("lineNegotiateAPIVersion")) {
            EXPECT_NE(negotiation.args.find("low=0x00010003 high=0x00020000"), std::string::npos)
                << negotiation.args;
        }
        TelephonyShutdown();
    }
}

TEST_F(LineSetupTest, LargeCapabilitiesAreAskedForAgainWithTheSizeNeeded) {
    StartTelephony({{"devices", "2"},
                    {"device.0.media", "data"},
                    {"device.0.name", "none"},
                    {"device.1.caps-size", "400"}});
    std::vector<std::string> sizes;
    for (const auto& query : JournalOf("lineGetDevCaps")) {
        sizes.push_back(query.args.substr(query.args.find("device=")));
    }
    const std::vector<std::string> expected = {
        "device=0 version=0x00020000 total=292",
        "device=1 version=0x00020000 total=292",
        "device=1 version=0x00020000 total=400",
    };
    EXPECT_EQ(sizes, expected);
    std::lock_guard lock(g_telephony.lock);
    EXPECT_EQ(g_telephony.currentDeviceId, 1u);
    EXPECT_EQ(std::wstring(g_telephony.currentLine.lineName), L"Simulated line");
}

TEST_F(LineSetupTest, NewDevicesExtendTheTableButNotTheChoice) {
    StartTelephony({{"devices", "1"}});
    LineInfo chosen;
    {
        std::lock_guard lock(g_telephony.lock);
        chosen = g_telephony.currentLine;
    }
    // A device already known changes nothing.
    Deliver(LINE_CREATE, 0, 0);
    SyncWithCallback();
    {
        std::lock_guard lock(g_telephony.lock);
        EXPECT_EQ(g_telephony.lineDeviceCount, 1u);
        EXPECT_EQ(g_telephony.deviceTableSize, 1u);
    }

    platform::tapi::SimulatedLineService::InjectedEvent create;
    create.message = LINE_CREATE;
    create.param1 = 3;
    std::string error;
    ASSERT_TRUE(line_->Inject(create, &error)) << error;
    ASSERT_TRUE(WaitFor([] {
        std::lock_guard lock(g_telephony.lock);
        return g_telephony.deviceTableSize == 4;
    }));
    {
        std::lock_guard lock(g_telephony.lock);
        EXPECT_EQ(g_telephony.lineDeviceCount, 4u);
        const LineInfo* table = g_telephony.deviceTable;
        EXPECT_EQ(std::memcmp(&table[0], &chosen, sizeof chosen), 0);
        const LineInfo zero{};
        EXPECT_EQ(std::memcmp(&table[1], &zero, sizeof zero), 0);
        EXPECT_EQ(std::memcmp(&table[2], &zero, sizeof zero), 0);
        EXPECT_EQ(table[3].voiceCapable, 4u);
        EXPECT_EQ(std::wstring(table[3].lineName), L"Simulated line");
        EXPECT_EQ(g_telephony.currentDeviceId, 0u);
        EXPECT_EQ(std::memcmp(&g_telephony.currentLine, &chosen, sizeof chosen), 0);
    }

    // A reinitialised service reporting a new device in its translation.
    LineInfo device3;
    {
        std::lock_guard lock(g_telephony.lock);
        device3 = g_telephony.deviceTable[3];
    }
    Deliver(LINE_LINEDEVSTATE, 0, LINEDEVSTATE_REINIT, LINE_CREATE, 5);
    ASSERT_TRUE(WaitFor([] {
        std::lock_guard lock(g_telephony.lock);
        return g_telephony.deviceTableSize == 6;
    }));
    std::lock_guard lock(g_telephony.lock);
    EXPECT_EQ(g_telephony.lineDeviceCount, 6u);
    EXPECT_EQ(std::memcmp(&g_telephony.deviceTable[0], &chosen, sizeof chosen), 0);
    EXPECT_EQ(std::memcmp(&g_telephony.deviceTable[3], &device3, sizeof device3), 0);
}

// Devices reported while start-up is still scanning: the scan and the table's growth take turns.
TEST_F(LineSetupTest, DevicesReportedDuringTheScanAreAddedAndTheChoiceStands) {
    std::map<std::string, std::string> keys{{"devices", "40"}};
    for (int i = 0; i < 39; ++i) {
        keys["device." + std::to_string(i) + ".media"] = "data";
    }
    Install(keys);
    StartupThread startup(instance_);
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    for (;;) { // the events can only come once the line API is initialised
        {
            std::lock_guard lock(g_telephony.lock);
            if (g_telephony.hLineApp != 0) {
                break;
            }
        }
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::yield();
    }
    for (DWORD device = 40; device < 46; ++device) {
        platform::tapi::SimulatedLineService::InjectedEvent create;
        create.message = LINE_CREATE;
        create.param1 = device;
        std::string error;
        ASSERT_TRUE(line_->Inject(create, &error)) << error;
    }
    const auto result = startup.Result();
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, 0);
    ASSERT_TRUE(WaitFor([] {
        std::lock_guard lock(g_telephony.lock);
        return g_telephony.deviceTableSize == 46;
    }));
    std::lock_guard lock(g_telephony.lock);
    EXPECT_EQ(g_telephony.lineDeviceCount, 46u);
    EXPECT_EQ(g_telephony.currentDeviceId, 39u);
    EXPECT_EQ(std::memcmp(&g_telephony.deviceTable[0], &g_telephony.currentLine, sizeof(LineInfo)), 0);
    for (DWORD device = 40; device < 46; ++device) {
        EXPECT_EQ(g_telephony.deviceTable[device].permanentLineId, 0x5100u + device) << device;
    }
}

TEST_F(LineSetupTest, ShutdownTwiceShutsDownOnce) {
    StartTelephony({});
    TelephonyShutdown();
    TelephonyShutdown();
    EXPECT_EQ(JournalFunctions({"lineShutdown"}), std::vector<std::string>{"lineShutdown"});
    std::lock_guard lock(g_telephony.lock);
    EXPECT_EQ(g_telephony.hLineApp, 0u);
    EXPECT_EQ(g_telephony.deviceTable, nullptr);
}

} // namespace
} // namespace lullwatch::test
