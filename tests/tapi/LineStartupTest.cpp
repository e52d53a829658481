// Start-up of the line API: lineInitialize with the simulated service's start-up faults, version
// negotiation and device capabilities.
#include "LineTestSupport.h"

#include <cstring>

namespace lullwatch::test {
namespace {

using platform::Clock;

class LineStartupTest : public LineTest {};

TEST_F(LineStartupTest, ReinitForThreeDeviceSecondsThenSuccess) {
    Install({{"init.reinit", "3000"}});
    Clock::SetFactor(40.0);
    const std::uint64_t start = Clock::NowMs();
    const auto realDeadline = std::chrono::steady_clock::now() + kDeadline;
    HLINEAPP app = 0;
    DWORD count = 0;
    LONG result = LINEERR_REINIT;
    int attempts = 0;
    // The program retries at once, with no pause; so does this loop.
    while (result == LINEERR_REINIT && std::chrono::steady_clock::now() < realDeadline) {
        result = lineInitialize(&app, nullptr, &Recorder::Callback, L"Lullwatch", &count);
        ++attempts;
    }
    ASSERT_EQ(result, 0);
    apps_.push_back(app);
    EXPECT_GE(Clock::NowMs() - start, 3000u);
    EXPECT_GT(attempts, 1);
    EXPECT_EQ(count, 1u);

    // The retry loop is folded into one journal entry.
    const auto entries = platform::tapi::Journal().Entries(journalStart_);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].result, LINEERR_REINIT);
    EXPECT_EQ(entries[0].repeats + 1, static_cast<std::uint32_t>(attempts - 1));
    EXPECT_EQ(entries[1].result, 0);
}

TEST_F(LineStartupTest, ReinitAlwaysNeverSucceeds) {
    Install({{"init.reinit", "always"}});
    Clock::SetFactor(1000.0);
    const std::uint64_t start = Clock::NowMs();
    HLINEAPP app = 0;
    DWORD count = 0;
    do {
        ASSERT_EQ(lineInitialize(&app, nullptr, &Recorder::Callback, L"Lullwatch", &count), LINEERR_REINIT);
    } while (Clock::NowMs() < start + 20000);
    EXPECT_EQ(app, 0u);
}

struct InitCase {
    std::map<std::string, std::string> keys;
    LONG expected;
};

TEST_F(LineStartupTest, InitializeAnswersTheConfiguredError) {
    const InitCase cases[] = {
        {{{"init.error", "nomem"}}, LINEERR_NOMEM},
        {{{"init.error", "0x80000048"}}, LINEERR_OPERATIONFAILED},
        {{{"init.error", "LINEERR_RESOURCEUNAVAIL"}}, LINEERR_RESOURCEUNAVAIL},
        {{{"init.error", "0"}}, 0},
    };
    for (const auto& c : cases) {
        Install(c.keys);
        HLINEAPP app = 0;
        DWORD count = 0;
        const LONG result = lineInitialize(&app, nullptr, &Recorder::Callback, L"Lullwatch", &count);
        EXPECT_EQ(result, c.expected) << c.keys.begin()->second;
        if (result == 0) {
            apps_.push_back(app);
        }
    }
}

TEST_F(LineStartupTest, NoDevices) {
    Install({{"devices", "0"}});
    DWORD count = 99;
    const HLINEAPP app = Initialize(&count);
    EXPECT_EQ(count, 0u);
    DWORD version = 0;
    EXPECT_EQ(lineNegotiateAPIVersion(app, 0, 0x00010003, 0x00020000, &version, nullptr),
              LINEERR_BADDEVICEID);
}

TEST_F(LineStartupTest, NoServiceInstalled) {
    platform::tapi::InstallService(nullptr);
    HLINEAPP app = 0;
    DWORD count = 0;
    EXPECT_EQ(lineInitialize(&app, nullptr, &Recorder::Callback, L"Lullwatch", &count), LINEERR_NODRIVER);
    EXPECT_EQ(platform::tapi::LineServiceLabel(), L"");
}

TEST_F(LineStartupTest, LabelSaysTheLineIsSimulated) {
    EXPECT_EQ(platform::tapi::LineServiceLabel(), L"Simulated line");
}

struct NegotiationCase {
    DWORD device;
    DWORD low;
    DWORD high;
    LONG expected;
    DWORD version;
};

TEST_F(LineStartupTest, VersionNegotiation) {
    Install({{"devices", "2"}, {"device.1.negotiate", "fail"}});
    const HLINEAPP app = Initialize();
    const NegotiationCase cases[] = {
        {0, 0x00010003, 0x00020000, 0, 0x00020000},
        {0, 0x00010003, 0x00010004, 0, 0x00010004},
        {0, 0x00010000, 0x00010003, 0, 0x00010003},
        {0, 0x00020001, 0x00030000, LINEERR_INCOMPATIBLEAPIVERSION, 0},
        {0, 0x00020000, 0x00010003, LINEERR_INCOMPATIBLEAPIVERSION, 0},
        {1, 0x00010003, 0x00020000, LINEERR_INCOMPATIBLEAPIVERSION, 0},
        {2, 0x00010003, 0x00020000, LINEERR_BADDEVICEID, 0},
    };
    for (const auto& c : cases) {
        DWORD version = 0;
        LINEEXTENSIONID ext{1, 2, 3, 4};
        EXPECT_EQ(lineNegotiateAPIVersion(app, c.device, c.low, c.high, &version, &ext), c.expected)
            << c.device << " " << c.low << ".." << c.high;
        EXPECT_EQ(version, c.version);
        if (c.expected == 0) {
            EXPECT_EQ(ext.dwExtensionID0 | ext.dwExtensionID1 | ext.dwExtensionID2 | ext.dwExtensionID3, 0u);
        }
    }
    DWORD version = 0;
    EXPECT_EQ(lineNegotiateAPIVersion(app + 1000, 0, 0x00010003, 0x00020000, &version, nullptr),
              LINEERR_INVALAPPHANDLE);
    EXPECT_EQ(lineNegotiateAPIVersion(app, 0, 0x00010003, 0x00020000, nullptr, nullptr),
              LINEERR_INVALPOINTER);
}

// A zero-filled buffer of `size` bytes whose dwTotalSize says so, as the program allocates it.
std::vector<DWORD> CapsBuffer(DWORD size) {
    std::vector<DWORD> buffer((size + 3) / 4, 0);
    reinterpret_cast<LINEDEVCAPS*>(buffer.data())->dwTotalSize = size;
    return buffer;
}

std::wstring NameIn(const LINEDEVCAPS* caps) {
    const auto* base = reinterpret_cast<const unsigned char*>(caps);
    return reinterpret_cast<const wchar_t*>(base + caps->dwLineNameOffset);
}

TEST_F(LineStartupTest, CapabilitiesLargerThanTheFirstBuffer) {
    Install({{"device.0.caps-size", "400"}, {"device.0.media", "voice|data"}});
    const HLINEAPP app = Initialize();

    auto small = CapsBuffer(292);
    auto* caps = reinterpret_cast<LINEDEVCAPS*>(small.data());
    ASSERT_EQ(lineGetDevCaps(app, 0, 0x00020000, 0, caps), 0);
    EXPECT_EQ(caps->dwTotalSize, 292u);
    EXPECT_EQ(caps->dwNeededSize, 400u);
    EXPECT_EQ(caps->dwUsedSize, sizeof(LINEDEVCAPS));
    EXPECT_EQ(caps->dwMediaModes, LINEMEDIAMODE_INTERACTIVEVOICE | LINEMEDIAMODE_DATAMODEM);
    EXPECT_EQ(caps->dwNumAddresses, 1u);
    EXPECT_EQ(caps->dwLineNameSize, 0u);

    auto exact = CapsBuffer(caps->dwNeededSize);
    caps = reinterpret_cast<LINEDEVCAPS*>(exact.data());
    ASSERT_EQ(lineGetDevCaps(app, 0, 0x00020000, 0, caps), 0);
    EXPECT_EQ(caps->dwNeededSize, 400u);
    EXPECT_EQ(caps->dwUsedSize, 400u);
    ASSERT_EQ(caps->dwLineNameSize, (std::wcslen(L"Simulated line") + 1) * sizeof(WCHAR));
    EXPECT_EQ(caps->dwLineNameOffset, sizeof(LINEDEVCAPS));
    EXPECT_EQ(NameIn(caps), L"Simulated line");
    EXPECT_NE(caps->dwPermanentLineID, 0u);
}

struct CapsCase {
    const char* what;
    std::map<std::string, std::string> keys;
    DWORD version;
    DWORD media;
    std::optional<std::wstring> name;
    DWORD fixed;
};

TEST_F(LineStartupTest, CapabilitiesPerDeviceAndVersion) {
    const CapsCase cases[] = {
        {"default", {}, 0x00020000, LINEMEDIAMODE_INTERACTIVEVOICE, L"Simulated line", 252},
        {"TAPI 1.3 fixed part", {}, 0x00010003, LINEMEDIAMODE_INTERACTIVEVOICE, L"Simulated line", 236},
        {"TAPI 1.4 fixed part", {}, 0x00010004, LINEMEDIAMODE_INTERACTIVEVOICE, L"Simulated line", 240},
        {"no name",
         {{"device.0.name", "none"}},
         0x00020000,
         LINEMEDIAMODE_INTERACTIVEVOICE,
         std::nullopt,
         252},
        {"data only",
         {{"device.0.media", "data"}, {"device.0.name", "Modem"}},
         0x00020000,
         LINEMEDIAMODE_DATAMODEM,
         L"Modem",
         252},
        {"no media", {{"device.0.media", "none"}}, 0x00020000, 0, L"Simulated line", 252},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Install(c.keys);
        const HLINEAPP app = Initialize();
        auto probe = CapsBuffer(c.fixed);
        auto* caps = reinterpret_cast<LINEDEVCAPS*>(probe.data());
        ASSERT_EQ(lineGetDevCaps(app, 0, c.version, 0, caps), 0);
        const DWORD nameBytes = c.name ? static_cast<DWORD>((c.name->size() + 1) * sizeof(WCHAR)) : 0;
        EXPECT_EQ(caps->dwNeededSize, c.fixed + nameBytes);
        EXPECT_EQ(caps->dwMediaModes, c.media);

        auto full = CapsBuffer(caps->dwNeededSize);
        caps = reinterpret_cast<LINEDEVCAPS*>(full.data());
        ASSERT_EQ(lineGetDevCaps(app, 0, c.version, 0, caps), 0);
        EXPECT_EQ(caps->dwLineNameSize, nameBytes);
        if (c.name) {
            EXPECT_EQ(caps->dwLineNameOffset, c.fixed);
            EXPECT_EQ(NameIn(caps), *c.name);
        }
        EXPECT_EQ(lineShutdown(app), 0);
    }
}

TEST_F(LineStartupTest, CapabilityArgumentsAreChecked) {
    const HLINEAPP app = Initialize();
    auto tiny = CapsBuffer(200);
    auto* caps = reinterpret_cast<LINEDEVCAPS*>(tiny.data());
    EXPECT_EQ(lineGetDevCaps(app, 0, 0x00020000, 0, caps), LINEERR_STRUCTURETOOSMALL);
    auto buffer = CapsBuffer(292);
    caps = reinterpret_cast<LINEDEVCAPS*>(buffer.data());
    EXPECT_EQ(lineGetDevCaps(app, 1, 0x00020000, 0, caps), LINEERR_BADDEVICEID);
    EXPECT_EQ(lineGetDevCaps(app, 0, 0, 0, caps), LINEERR_INCOMPATIBLEAPIVERSION);
    EXPECT_EQ(lineGetDevCaps(app, 0, 0x00020000, 1, caps), LINEERR_INCOMPATIBLEEXTVERSION);
    EXPECT_EQ(lineGetDevCaps(app, 0, 0x00020000, 0, nullptr), LINEERR_INVALPOINTER);
    EXPECT_EQ(lineGetDevCaps(0, 0, 0x00020000, 0, caps), LINEERR_INVALAPPHANDLE);
}

} // namespace
} // namespace lullwatch::test
