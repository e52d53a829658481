// What an alarm may dial: the number a destination dials, emergency numbers from every origin, cellular
// dial text, and the refusal through lineMakeCall on the simulated line (nothing reaches the service, the
// line indicator says why, after any outage of the line, and the next accepted call clears it).
#include "LineTestSupport.h"

#include "platform/status/Indicators.h"
#include "platform/tapi/DialRules.h"
#include "platform/win/Utf8.h"

namespace lullwatch::test {
namespace {

using platform::tapi::DialledNumber;
using platform::tapi::IsCellularDialText;
using platform::tapi::IsEmergencyNumber;
using platform::tapi::SetEmergencyNumbers;

TEST(DialRulesTest, DialledNumberReadsWhatIsReallyDialled) {
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"+44 1632-960 123", "+441632960123"},
        {L"(0)30.1234/56", "030123456"},
        {L"1 1 2", "112"},
        {L"112,,1234", "112"},
        {L"911p22w3", "911"},
        {L"*31#112", "112"},
        {L"#31#*31#999", "999"},
        {L"sip:112@sip.example.org", "112"},
        {L"SIPS:9-1-1@example.org;user=phone", "911"},
        {L"sip:%31%31%32@example.org", "112"},
        {L"tel:+1-555-0100;phone-context=example", "+15550100"},
        {L"sip:parent@192.168.1.20", ""},
        {L"parent", ""},
        {L"", ""},
    };
    for (const auto& [destination, number] : cases) {
        EXPECT_EQ(DialledNumber(destination), number) << platform::ToUtf8(destination);
    }
}

TEST(DialRulesTest, EmergencyNumbersComeFromTheListTheProfileAndServices) {
    for (const wchar_t* number : {L"112", L"911", L"999", L"000", L"110", L"119", L"1-1-2", L"*31#911",
                                  L"sip:999@example.org", L"112,5", L"+112", L"+ 9 1 1"}) {
        EXPECT_TRUE(IsEmergencyNumber(number)) << platform::ToUtf8(number);
    }
    for (const wchar_t* number : {L"1120", L"+1120", L"0112", L"911911", L"sip:parent@example.org", L"117"}) {
        EXPECT_FALSE(IsEmergencyNumber(number)) << platform::ToUtf8(number);
    }
    SetEmergencyNumbers("profile", {"117", " 1-4-4 "});
    SetEmergencyNumbers("/modem/0", {"15"});
    EXPECT_TRUE(IsEmergencyNumber(L"117"));
    EXPECT_TRUE(IsEmergencyNumber(L"144"));
    EXPECT_TRUE(IsEmergencyNumber(L"15"));
    SetEmergencyNumbers("/modem/0", {}); // the modem went away
    EXPECT_FALSE(IsEmergencyNumber(L"15"));
    EXPECT_TRUE(IsEmergencyNumber(L"117"));
    SetEmergencyNumbers("profile", {});
    EXPECT_FALSE(IsEmergencyNumber(L"117"));
}

TEST(DialRulesTest, CellularDialTextTakesDigitsAndTheServicesPauses) {
    EXPECT_TRUE(IsCellularDialText(L"+441632960123", L""));
    EXPECT_TRUE(IsCellularDialText(L"*21#0123", L""));
    EXPECT_TRUE(IsCellularDialText(L"0123,45", L","));
    EXPECT_TRUE(IsCellularDialText(L"0123p45w6", L"pw"));
    for (const wchar_t* bad : {L"", L"0123,45", L"0123 456", L"0123-456", L"sip:a@b", L"12;ATH", L"12\n"}) {
        EXPECT_FALSE(IsCellularDialText(bad, L"")) << platform::ToUtf8(bad);
    }
}

class DialRefusalTest : public LineTest {
protected:
    void SetUp() override {
        LineTest::SetUp();
        platform::status::Clear(platform::status::Indicator::Line);
        Install({{"call-script", "silent"}});
        line0_ = Open(Initialize());
    }
    void TearDown() override {
        platform::status::Clear(platform::status::Indicator::Line);
        LineTest::TearDown();
    }
    std::wstring LineIndicator() const {
        for (const auto& raised : platform::status::Current()) {
            if (raised.which == platform::status::Indicator::Line) {
                return raised.text;
            }
        }
        return L"";
    }
    HLINE line0_ = 0;
};

TEST_F(DialRefusalTest, EmergencyNumberIsRefusedBeforeTheServiceSeesIt) {
    for (const wchar_t* number : {L"112", L"9 1 1", L"sip:999@example.org"}) {
        HCALL call = 0xDEAD;
        EXPECT_EQ(lineMakeCall(line0_, &call, number, 0, nullptr), LINEERR_INVALADDRESS);
        EXPECT_EQ(call, 0u);
        EXPECT_EQ(LineIndicator(), platform::tapi::kEmergencyRefusalText);
    }
    EXPECT_TRUE(line_->Calls().empty());

    HCALL call = 0;
    EXPECT_GT(lineMakeCall(line0_, &call, L"5551234", 0, nullptr), 0);
    EXPECT_EQ(LineIndicator(), L"") << "an accepted call clears the refusal";
    EXPECT_EQ(line_->Calls().size(), 1u);
}

TEST_F(DialRefusalTest, AnOutageShowsFirstAndTheRefusalWhenTheLineIsBack) {
    std::string error;
    auto deviceState = [&](DWORD state) {
        ASSERT_TRUE(line_->Inject({LINE_LINEDEVSTATE, state, {}, {}, {}}, &error)) << error;
    };
    deviceState(LINEDEVSTATE_OUTOFSERVICE);
    HCALL call = 0;
    EXPECT_EQ(lineMakeCall(line0_, &call, L"112", 0, nullptr), LINEERR_INVALADDRESS);
    EXPECT_EQ(LineIndicator(), L"Line out of service");
    deviceState(LINEDEVSTATE_INSERVICE);
    EXPECT_EQ(LineIndicator(), platform::tapi::kEmergencyRefusalText);
    EXPECT_GT(lineMakeCall(line0_, &call, L"5551234", 0, nullptr), 0);
    EXPECT_EQ(LineIndicator(), L"");
}

} // namespace
} // namespace lullwatch::test
