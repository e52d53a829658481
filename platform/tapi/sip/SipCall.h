// One outgoing call on the SIP stack's thread: the INVITE with an SDP offer of G.711 (PCMU, PCMA), the
// far end's answers turned into call states (CallOutcome.h), the room's sound sent as RTP in 20 ms
// packets once connected, and the call's timers: no answer at all, no answer by a person, no sound back.
//
// Created, used and destroyed on the stack's thread only. The call reports each new state once, and
// nothing after the disconnected state or after Hangup. Destroying it hangs up as Hangup does.
#pragma once

#include "platform/tapi/sip/CallAudio.h"
#include "platform/tapi/sip/CallOutcome.h"
#include "platform/tapi/sip/SipConfig.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

struct sipsess;
struct sdp_session;
struct sdp_media;
struct rtp_sock;
struct sip_msg;
struct mbuf;
struct tmr;
struct sa;
struct rtp_header;

namespace platform::tapi::sipline {

class SipStack;

// What a call has done, for tests and the benchmark.
struct CallCounters {
    std::atomic<std::uint64_t> packetsSent{0};
    std::atomic<std::uint64_t> packetsReceived{0};
};

class SipCall : public std::enable_shared_from_this<SipCall> {
public:
    using ReportFn = std::function<void(CallOutcome)>;

    SipCall(SipStack& stack, const SipConfig& config, ReportFn report);
    ~SipCall();
    SipCall(const SipCall&) = delete;
    SipCall& operator=(const SipCall&) = delete;

    // Sends the INVITE to `uri` and starts the sound. Returns 0, or an errno when nothing could be sent
    // (nothing is reported then).
    int Start(const std::string& uri);

    // Ends the call without another report: CANCEL while it is unanswered, BYE once it is connected.
    void Hangup();

    std::shared_ptr<const CallCounters> Counters() const { return counters_; }

private:
    struct Timers;

    bool SetUpMedia();
    void Report(CallOutcome outcome);
    void End(CallOutcome outcome);
    // The same from inside one of the session's own handlers, where the session must not go yet.
    void EndFromHandler(CallOutcome outcome);
    void Release();
    void SendFrame(const Frame& frame);
    bool TakeAnswer();

    static int OnOffer(struct mbuf** description, const struct sip_msg* msg, void* arg);
    static int OnAnswer(const struct sip_msg* msg, void* arg);
    static void OnProgress(const struct sip_msg* msg, void* arg);
    static void OnEstablished(const struct sip_msg* msg, void* arg);
    static void OnClosed(int err, const struct sip_msg* msg, void* arg);
    static void OnRtp(const struct sa* source, const struct rtp_header* header, struct mbuf* payload,
                      void* arg);
    static void OnNoResponse(void* arg);
    static void OnNoAnswer(void* arg);
    static void OnSoundCheck(void* arg);

    SipStack& stack_;
    const SipConfig config_;
    const ReportFn report_;
    std::unique_ptr<Timers> timers_;
    struct ::sipsess* session_ = nullptr;
    struct ::sdp_session* sdp_ = nullptr;
    struct ::sdp_media* media_ = nullptr;
    struct ::rtp_sock* rtp_ = nullptr;
    std::unique_ptr<CallAudio> audio_;
    bool established_ = false;
    bool ended_ = false;
    DWORD lastState_ = 0;
    int payloadType_ = -1; // the format the answer chose; -1 before the answer
    std::uint32_t timestamp_ = 0;
    bool firstPacket_ = true;
    std::uint64_t lastSoundMs_ = 0;
    const std::shared_ptr<CallCounters> counters_ = std::make_shared<CallCounters>();
};

} // namespace platform::tapi::sipline
