// The SIP account's keys, the password's file permissions, what a dialled number becomes, and what the
// far end's answers mean to the line.
#include "platform/tapi/sip/SipConfig.h"
#include "platform/tapi/sip/CallOutcome.h"
#include "platform/tapi/sip/DialTarget.h"
#include "platform/win/Utf8.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace lullwatch::test {
namespace {

using namespace platform::tapi::sipline;
using Keys = std::map<std::string, std::string>;

const Keys kAccount = {{"user", "monitor"}, {"domain", "sip.example.org"}};

Keys With(Keys extra) {
    Keys keys = kAccount;
    keys.insert(extra.begin(), extra.end());
    return keys;
}

std::string ParseError(const Keys& keys, const std::string& profile = "") {
    SipConfig config;
    std::string error;
    EXPECT_FALSE(ParseSipConfig(keys, profile, "", &config, &error));
    return error;
}

class TemporaryFile {
public:
    TemporaryFile(const std::string& text, mode_t mode) {
        char pattern[] = "/tmp/lullwatch-sip-XXXXXX";
        const int fd = mkstemp(pattern);
        EXPECT_GE(fd, 0);
        close(fd);
        path_ = pattern;
        std::ofstream(path_) << text;
        chmod(path_.c_str(), mode);
    }
    ~TemporaryFile() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TEST(SipConfigTest, DefaultsFollowTheAccount) {
    SipConfig config;
    std::string error;
    ASSERT_TRUE(ParseSipConfig(With({{"service", "sip"}}), "", "", &config, &error)) << error;
    EXPECT_EQ(config.AccountUri(), "sip:monitor@sip.example.org");
    EXPECT_EQ(config.dialPattern, "sip:{number}@sip.example.org");
    EXPECT_EQ(config.authUser, "monitor");
    EXPECT_EQ(config.transport, Transport::Udp);
    EXPECT_EQ(config.noAnswerTimeoutMs, 60'000u);
    EXPECT_EQ(config.rtpTimeoutMs, 15'000u);
    EXPECT_EQ(config.codecs, (std::vector<std::string>{"PCMU", "PCMA"}));
    EXPECT_TRUE(config.registrar.empty());
}

TEST(SipConfigTest, KeysAreReadAndBadValuesNamed) {
    SipConfig config;
    std::string error;
    ASSERT_TRUE(ParseSipConfig(With({{"transport", "tcp"},
                                     {"local", "127.0.0.1:5070"},
                                     {"codecs", "pcma"},
                                     {"registrar", "sip:sip.example.org"},
                                     {"rtp_timeout", "2.5"},
                                     {"auth_user", "m1"}}),
                               "", "", &config, &error))
        << error;
    EXPECT_EQ(config.transport, Transport::Tcp);
    EXPECT_EQ(config.localAddress, "127.0.0.1");
    EXPECT_EQ(config.localPort, 5070);
    EXPECT_EQ(config.codecs, std::vector<std::string>{"PCMA"});
    EXPECT_EQ(config.rtpTimeoutMs, 2500u);
    EXPECT_EQ(config.authUser, "m1");

    EXPECT_NE(ParseError({{"user", "monitor"}}).find("domain"), std::string::npos);
    EXPECT_NE(ParseError(With({{"transport", "sctp"}})).find("transport"), std::string::npos);
    EXPECT_NE(ParseError(With({{"registrar", "http://x"}})).find("registrar"), std::string::npos);
    EXPECT_NE(ParseError(With({{"dial", "sip:1234@example.org"}})).find("{number}"), std::string::npos);
    EXPECT_NE(ParseError(With({{"codecs", "PCMU,opus"}})).find("codecs"), std::string::npos);
    EXPECT_NE(ParseError(With({{"no_answer_timeout", "0"}})).find("no_answer_timeout"), std::string::npos);
    EXPECT_NE(ParseError(With({{"local", "127.0.0.1:99999"}})).find("local"), std::string::npos);
    EXPECT_NE(ParseError(With({{"pasword", "x"}})).find("pasword"), std::string::npos);
}

TEST(SipConfigTest, APasswordMustBeReadableByItsOwnerOnly) {
    // In the profile itself: the profile file is checked.
    const TemporaryFile open("[line]\n", 0644);
    const std::string error = ParseError(With({{"password", "secret"}}), open.Path());
    EXPECT_NE(error.find("others may read it"), std::string::npos) << error;
    EXPECT_NE(error.find("chmod 600"), std::string::npos) << error;

    const TemporaryFile closed("[line]\n", 0600);
    SipConfig config;
    std::string why;
    ASSERT_TRUE(ParseSipConfig(With({{"password", "secret"}}), closed.Path(), "", &config, &why)) << why;
    EXPECT_EQ(config.password, "secret");

    // In a file of its own: that file is checked, and its first line is the password.
    const TemporaryFile shared("hunter2\nignored\n", 0640);
    EXPECT_NE(ParseError(With({{"password_file", shared.Path()}})).find("others may read it"),
              std::string::npos);
    const TemporaryFile own("hunter2\r\nignored\n", 0400);
    ASSERT_TRUE(ParseSipConfig(With({{"password_file", own.Path()}}), "", "", &config, &why)) << why;
    EXPECT_EQ(config.password, "hunter2");
    EXPECT_EQ(ParseError(With({{"password_file", "/no/such/file"}})),
              "password_file: /no/such/file does not exist; create it readable by you only with: "
              "install -D -m 600 /dev/null /no/such/file then write the password alone on its first line");
}

TEST(DialTargetTest, NumbersAreEscapedIntoThePattern) {
    struct Row {
        std::wstring dialled;
        std::string uri;
    };
    const Row rows[] = {
        {L"5551234", "sip:5551234@example.org"},
        {L"+44 (0)20 7946", "sip:+44%20(0)20%207946@example.org"},
        {L"*31#123", "sip:*31%23123@example.org"},
        {L"a@b;c?d", "sip:a%40b%3Bc%3Fd@example.org"},
        {L"<\"x\">", "sip:%3C%22x%22%3E@example.org"},
        {L"caf\u00e9", "sip:caf%C3%A9@example.org"},
        {L"sip:desk@192.168.1.20:5062;transport=tcp", "sip:desk@192.168.1.20:5062;transport=tcp"},
    };
    for (const Row& row : rows) {
        std::string why;
        const auto uri = DialTarget(row.dialled, "sip:{number}@example.org", &why);
        ASSERT_TRUE(uri) << why;
        EXPECT_EQ(*uri, row.uri);
    }
}

TEST(DialTargetTest, TextThatCannotMakeAnAddressMakesNone) {
    for (const std::wstring dialled :
         {L"", L"12\r\n34", L"sip:", L"sip:desk@", L"sip:a b@host", L"sip:<x>@host"}) {
        std::string why;
        EXPECT_FALSE(DialTarget(dialled, "sip:{number}@example.org", &why)) << platform::ToUtf8(dialled);
        EXPECT_FALSE(why.empty());
    }
}

TEST(DialTargetTest, TransportAndLooseRoutingParameters) {
    EXPECT_EQ(WithTransport("sip:1@h", Transport::Udp), "sip:1@h");
    EXPECT_EQ(WithTransport("sip:1@h", Transport::Tcp), "sip:1@h;transport=tcp");
    EXPECT_EQ(WithTransport("sip:1@h;transport=udp", Transport::Tcp), "sip:1@h;transport=udp");
    EXPECT_EQ(WithTransport("sip:proxy.example.org", Transport::Tls, true),
              "sip:proxy.example.org;transport=tls;lr");
    EXPECT_EQ(WithTransport("sip:1@h?X=1", Transport::Tcp), "sip:1@h;transport=tcp?X=1");
}

TEST(CallOutcomeTest, FarEndAnswersAndEventsMapToStatesAndModes) {
    struct Row {
        std::uint16_t code;
        DWORD state;
        DWORD mode;
    };
    const Row rows[] = {
        {100, LINECALLSTATE_PROCEEDING, 0},
        {180, LINECALLSTATE_RINGBACK, 0},
        {183, LINECALLSTATE_RINGBACK, 0},
        {200, LINECALLSTATE_CONNECTED, 0},
        {302, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_FORWARDED},
        {404, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_BADADDRESS},
        {484, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_BADADDRESS},
        {408, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NOANSWER},
        {480, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NOANSWER},
        {486, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_BUSY},
        {600, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_BUSY},
        {603, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_REJECT},
        {488, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_INCOMPATIBLE},
        {503, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNREACHABLE},
        {407, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNAVAIL},
        {420, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNKNOWN},
        {500, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNAVAIL},
        {699, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_REJECT},
    };
    for (const Row& row : rows) {
        const CallOutcome outcome = ForStatus(row.code);
        EXPECT_EQ(outcome.state, row.state) << row.code;
        EXPECT_EQ(outcome.mode, row.mode) << row.code;
    }
    EXPECT_EQ(ForEvent(CallEvent::FarEndHungUp).mode, LINEDISCONNECTMODE_NORMAL);
    EXPECT_EQ(ForEvent(CallEvent::SoundLost).mode, LINEDISCONNECTMODE_UNREACHABLE);
    EXPECT_EQ(ForEvent(CallEvent::NoAnswer).mode, LINEDISCONNECTMODE_NOANSWER);
    EXPECT_EQ(ForEvent(CallEvent::TransportFailed).mode, LINEDISCONNECTMODE_UNREACHABLE);
}

} // namespace
} // namespace lullwatch::test
