#include "tests/sippeer/SippScenarios.h"

#include <string>

namespace sippeer::uas {
namespace {

// The To tag this side gives every dialog.
constexpr const char* kTag = "[pid]SIPpTag01[call_number]";

std::string Open(const std::string& name) {
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n<scenario name=\"" + name + "\">\n";
}

std::string Close() {
    return "</scenario>\n";
}

std::string Recv(const std::string& request, const std::string& actions = "") {
    if (actions.empty()) {
        return "  <recv request=\"" + request + "\"/>\n";
    }
    return "  <recv request=\"" + request + "\">\n    <action>\n" + actions + "    </action>\n  </recv>\n";
}

// A reply to the last request received; `extra` are further header lines, `body` the SDP if any.
std::string Reply(const std::string& status, const std::string& extra = "", const std::string& next = "",
                  bool sdp = false) {
    std::string xml = next.empty() ? "  <send><![CDATA[\n" : "  <send next=\"" + next + "\"><![CDATA[\n";
    xml += "SIP/2.0 " + status + "\n[last_Via:]\n[last_From:]\n[last_To:];tag=" + kTag +
           "\n[last_Call-ID:]\n[last_CSeq:]\n" + extra;
    if (sdp) {
        xml += "Contact: <sip:[local_ip]:[local_port];transport=[transport]>\n"
               "Content-Type: application/sdp\nContent-Length: [len]\n\n"
               "v=0\no=- 1 1 IN IP[local_ip_type] [local_ip]\ns=-\nc=IN IP[media_ip_type] [media_ip]\nt=0 0\n"
               "m=audio [media_port] RTP/AVP 0\na=rtpmap:0 PCMU/8000\na=sendrecv\n";
    } else {
        xml += "Content-Length: 0\n";
    }
    return xml + "\n]]></send>\n";
}

std::string Ringing() {
    return Reply("180 Ringing", "Contact: <sip:[local_ip]:[local_port];transport=[transport]>\n");
}

// 200 OK to an in-dialog request (BYE, CANCEL): the To header already carries the tag.
std::string OkInDialog() {
    return "  <send><![CDATA[\nSIP/2.0 200 OK\n[last_Via:]\n[last_From:]\n[last_To:]\n[last_Call-ID:]\n"
           "[last_CSeq:]\nContent-Length: 0\n\n]]></send>\n";
}

std::string Label(const std::string& id) {
    return "  <label id=\"" + id + "\"/>\n";
}

// Marks the call failed at once: a warning for the error log, then a receive that times out.
std::string Fail(const std::string& why) {
    return "  <nop><action><warning message=\"" + why +
           "\"/></action></nop>\n"
           "  <recv request=\"BYE\" timeout=\"1\"/>\n";
}

std::string ChallengeHeader(Challenge challenge, const std::string& realm) {
    return std::string(challenge == Challenge::Proxy407 ? "Proxy-Authenticate" : "WWW-Authenticate") +
           ": Digest realm=\"" + realm + "\", nonce=\"" + kNonce + "\", algorithm=MD5\n";
}

std::string ChallengeStatus(Challenge challenge) {
    return challenge == Challenge::Proxy407 ? "407 Proxy Authentication Required" : "401 Unauthorized";
}

// `text` with the characters a POSIX extended regular expression treats specially escaped.
std::string RegexQuoted(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (std::string(".[]{}()\\*+?^$|").find(c) != std::string::npos) {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// The action that sets `variable` when the received request's credentials are right.
std::string Verify(Challenge challenge, const std::string& user, const std::string& password,
                   const std::string& realm, const std::string& variable) {
    if (challenge == Challenge::Www401) {
        return "      <verifyauth assign_to=\"" + variable + "\" username=\"" + user + "\" password=\"" +
               password + "\"/>\n";
    }
    // Any character stands for the quotes around the values, which the attribute cannot hold.
    const std::string pattern =
        "username=." + RegexQuoted(user) + "..*realm=." + RegexQuoted(realm) + ".*nonce=." + kNonce + ".";
    return "      <ereg regexp=\"" + pattern +
           "\" search_in=\"hdr\" header=\"Proxy-Authorization:\" assign_to=\"" + variable + "\"/>\n";
}

} // namespace

std::string Respond(int code, const std::string& reason, int ringMs) {
    std::string xml =
        Open("respond " + std::to_string(code)) + Recv("INVITE") + Reply("100 Trying") + Ringing();
    if (ringMs > 0) {
        xml += "  <pause milliseconds=\"" + std::to_string(ringMs) + "\"/>\n";
    }
    return xml + Reply(std::to_string(code) + " " + reason) + Recv("ACK") + Close();
}

std::string RingUntilCancel() {
    return Open("ring until cancel") + Recv("INVITE") + Ringing() + Recv("CANCEL") + OkInDialog() +
           "  <send><![CDATA[\nSIP/2.0 487 Request Terminated\n[last_Via:]\n[last_From:]\n[last_To:];tag=" +
           kTag + "\n[last_Call-ID:]\nCSeq: [last_cseq_number] INVITE\nContent-Length: 0\n\n]]></send>\n" +
           Recv("ACK") + Close();
}

std::string Answer(int hangUpAfterMs) {
    const std::string answered = Ringing() + Reply("200 OK", "", "", true);
    if (hangUpAfterMs < 0) {
        return Open("answer") + Recv("INVITE") + answered + Recv("ACK") + Recv("BYE") + OkInDialog() +
               Close();
    }
    // The BYE goes to the caller's Contact, from the dialog's To (with this side's tag) to its From.
    const std::string contact =
        "      <ereg regexp=\"sip:[^>]*\" search_in=\"hdr\" header=\"Contact:\" assign_to=\"contact\"/>\n";
    const std::string dialog =
        "      <ereg regexp=\".*\" search_in=\"hdr\" header=\"From:\" assign_to=\"from\"/>\n"
        "      <ereg regexp=\".*\" search_in=\"hdr\" header=\"To:\" assign_to=\"to\"/>\n";
    return Open("answer and hang up") + Recv("INVITE", contact) + answered + Recv("ACK", dialog) +
           "  <pause milliseconds=\"" + std::to_string(hangUpAfterMs) + "\"/>\n" +
           "  <send><![CDATA[\nBYE [$contact] SIP/2.0\n"
           "Via: SIP/2.0/[transport] [local_ip]:[local_port];branch=[branch]\n"
           "From:[$to]\nTo:[$from]\nCall-ID: [call_id]\nCSeq: 1 BYE\nMax-Forwards: 70\nContent-Length: 0\n\n"
           "]]></send>\n  <recv response=\"200\"/>\n" +
           Close();
}

std::string ChallengeThenAnswer(const std::string& user, const std::string& password,
                                const std::string& realm, Challenge challenge) {
    return Open("challenge then answer") + Recv("INVITE") +
           Reply(ChallengeStatus(challenge), ChallengeHeader(challenge, realm)) + Recv("ACK") +
           Recv("INVITE", Verify(challenge, user, password, realm, "verified")) +
           "  <nop hide=\"true\" test=\"verified\" next=\"verified\"/>\n" + Reply("403 Forbidden") +
           Recv("ACK") + Fail("credentials did not verify") + Label("verified") +
           Reply("200 OK", "", "", true) + Recv("ACK") + Recv("BYE") + OkInDialog() + Close();
}

std::string Registrar(const std::string& user, const std::string& password, const std::string& realm,
                      bool keepAnswering) {
    const std::string accepted = "[last_Contact:]\n[last_Expires:]\n";
    std::string xml = Open("registrar") + Recv("REGISTER") +
                      Reply("401 Unauthorized", ChallengeHeader(Challenge::Www401, realm)) +
                      Recv("REGISTER", Verify(Challenge::Www401, user, password, realm, "verified")) +
                      "  <nop hide=\"true\" test=\"verified\" next=\"registered\"/>\n" +
                      Reply("403 Forbidden") + Fail("credentials did not verify") + Label("registered");
    if (!keepAnswering) {
        return xml + Reply("200 OK", accepted) + Close();
    }
    return xml + Reply("200 OK", accepted, "again") + Label("again") +
           Recv("REGISTER", Verify(Challenge::Www401, user, password, realm, "refreshed")) +
           "  <nop hide=\"true\" test=\"refreshed\" next=\"refreshed\"/>\n" +
           Reply("401 Unauthorized", ChallengeHeader(Challenge::Www401, realm), "again") +
           Label("refreshed") + Reply("200 OK", accepted, "again") + Close();
}

} // namespace sippeer::uas
