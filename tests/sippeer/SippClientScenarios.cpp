#include "tests/sippeer/SippClientScenarios.h"

namespace sippeer::uac {
namespace {

// The INVITE's transaction: its non-2xx ACK and its CANCEL use the same branch.
constexpr const char* kInviteBranch = "z9hG4bK-[pid]-[call_number]-invite";

std::string Open(const std::string& name) {
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n<scenario name=\"" + name + "\">\n";
}

std::string Close() {
    return "</scenario>\n";
}

std::string Send(const std::string& message) {
    return "  <send><![CDATA[\n" + message + "\n]]></send>\n";
}

// Expects a response. A 2xx records the far end's Contact: the ACK and BYE go to [next_url].
std::string Expect(int code, bool optional = false, bool auth = false) {
    return "  <recv response=\"" + std::to_string(code) + "\"" + (optional ? " optional=\"true\"" : "") +
           (auth ? " auth=\"true\"" : "") + (code >= 200 && code < 300 ? " rrs=\"true\"" : "") + "/>\n";
}

std::string RequestUri(const std::string& user) {
    return "sip:" + user + "@[remote_ip]:[remote_port]";
}

std::string Dialog(const std::string& user, const std::string& branch, int cseq, const std::string& method) {
    return "Via: SIP/2.0/[transport] [local_ip]:[local_port];branch=" + branch +
           "\nFrom: <sip:caller@[local_ip]:[local_port]>;tag=[pid]SIPpTag00[call_number]\nTo: <" +
           RequestUri(user) + ">\nCall-ID: [call_id]\nCSeq: " + std::to_string(cseq) + " " + method +
           "\nMax-Forwards: 70\n";
}

std::string Invite(const std::string& user, const std::string& branch, int cseq,
                   const std::string& extra = "") {
    return Send(
        "INVITE " + RequestUri(user) + " SIP/2.0\n" + Dialog(user, branch, cseq, "INVITE") +
        "Contact: <sip:caller@[local_ip]:[local_port];transport=[transport]>\n" + extra +
        "Content-Type: application/sdp\nContent-Length: [len]\n\n"
        "v=0\no=- 1 1 IN IP[local_ip_type] [local_ip]\ns=-\nc=IN IP[media_ip_type] [media_ip]\nt=0 0\n"
        "m=audio [media_port] RTP/AVP 0\na=rtpmap:0 PCMU/8000\na=sendrecv\n");
}

// ACK to a non-2xx final response: same transaction as the INVITE.
std::string AckFailure(const std::string& user, const std::string& branch, int cseq) {
    return Send("ACK " + RequestUri(user) +
                " SIP/2.0\nVia: SIP/2.0/[transport] [local_ip]:[local_port];branch=" + branch +
                "\n[last_From:]\n[last_To:]\nCall-ID: [call_id]\nCSeq: " + std::to_string(cseq) +
                " ACK\nMax-Forwards: 70\nContent-Length: 0\n");
}

// ACK to a 2xx, a pause, BYE and its 200.
std::string AckHoldBye(int cseq, int holdMs) {
    const std::string inDialog = "Via: SIP/2.0/[transport] [local_ip]:[local_port];branch=[branch]\n"
                                 "[last_From:]\n[last_To:]\nCall-ID: [call_id]\n";
    std::string xml = Send("ACK [next_url] SIP/2.0\n" + inDialog + "CSeq: " + std::to_string(cseq) +
                           " ACK\nMax-Forwards: 70\nContent-Length: 0\n");
    if (holdMs > 0) {
        xml += "  <pause milliseconds=\"" + std::to_string(holdMs) + "\"/>\n";
    }
    return xml +
           Send("BYE [next_url] SIP/2.0\n" + inDialog + "CSeq: " + std::to_string(cseq + 1) +
                " BYE\nMax-Forwards: 70\nContent-Length: 0\n") +
           Expect(200);
}

std::string Finish(const std::string& user, int code, int cseq, int holdMs, const std::string& branch) {
    if (code >= 200 && code < 300) {
        return AckHoldBye(cseq, holdMs);
    }
    return AckFailure(user, branch, cseq);
}

} // namespace

std::string Call(const std::string& user, int code, int holdMs) {
    return Open("call " + user) + Invite(user, kInviteBranch, 1) + Expect(100, true) + Expect(180, true) +
           Expect(code) + Finish(user, code, 1, holdMs, kInviteBranch) + Close();
}

std::string CallAndCancel(const std::string& user) {
    return Open("call and cancel " + user) + Invite(user, kInviteBranch, 1) + Expect(100, true) +
           Expect(180) +
           Send("CANCEL " + RequestUri(user) + " SIP/2.0\n" + Dialog(user, kInviteBranch, 1, "CANCEL") +
                "Content-Length: 0\n") +
           Expect(200) + Expect(487) + AckFailure(user, kInviteBranch, 1) + Close();
}

std::string CallWithCredentials(const std::string& user, int challengeCode, const std::string& authUser,
                                const std::string& password, int code) {
    const std::string second = "z9hG4bK-[pid]-[call_number]-invite2";
    return Open("call with credentials " + user) + Invite(user, kInviteBranch, 1) + Expect(100, true) +
           Expect(challengeCode, false, true) + AckFailure(user, kInviteBranch, 1) +
           Invite(user, second, 2, "[authentication username=" + authUser + " password=" + password + "]\n") +
           Expect(100, true) + Expect(180, true) + Expect(code) + Finish(user, code, 2, 0, second) + Close();
}

std::string Register(const std::string& user, const std::string& password, int code, int refreshes) {
    const std::string registrar = "sip:[remote_ip]:[remote_port]";
    const std::string credentials = "[authentication username=" + user + " password=" + password + "]\n";
    const auto request = [&](int cseq, int expires, const std::string& extra) {
        return Send("REGISTER " + registrar +
                    " SIP/2.0\nVia: SIP/2.0/[transport] [local_ip]:[local_port];branch=[branch]\n"
                    "From: <sip:" +
                    user + "@[remote_ip]:[remote_port]>;tag=[pid]SIPpTag00[call_number]\nTo: <sip:" + user +
                    "@[remote_ip]:[remote_port]>\nCall-ID: [call_id]\nCSeq: " + std::to_string(cseq) +
                    " REGISTER\nContact: <sip:" + user +
                    "@[local_ip]:[local_port];transport=[transport]>;expires=" + std::to_string(expires) +
                    "\n" + extra + "Max-Forwards: 70\nContent-Length: 0\n");
    };
    std::string xml = Open("register " + user) + request(1, 60, "") + Expect(401, false, true) +
                      request(2, 60, credentials) + Expect(code);
    for (int i = 0; i < refreshes; ++i) {
        // The last refresh unregisters.
        xml += request(3 + i, i + 1 == refreshes ? 0 : 60, credentials) + Expect(200);
    }
    return xml + Close();
}

} // namespace sippeer::uac
