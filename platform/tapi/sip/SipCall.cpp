#include "platform/tapi/sip/SipCall.h"

#include "platform/tapi/sip/Credentials.h"
#include "platform/tapi/sip/DialTarget.h"
#include "platform/tapi/sip/Re.h"
#include "platform/tapi/sip/SipStack.h"

#include <algorithm>
#include <cerrno>
#include <vector>

namespace platform::tapi::sipline {
namespace {

constexpr int kPcmu = 0;
constexpr int kPcma = 8;

std::uint8_t Encode(std::uint8_t sample, int payloadType) {
    const auto linear = static_cast<std::int16_t>((static_cast<int>(sample) - 128) * 256);
    return payloadType == kPcmu ? g711_pcm2ulaw(linear) : g711_pcm2alaw(linear);
}

} // namespace

struct SipCall::Timers {
    struct tmr noResponse;
    struct tmr noAnswer;
    struct tmr soundCheck;
    struct tmr release;
    Timers() {
        tmr_init(&noResponse);
        tmr_init(&noAnswer);
        tmr_init(&soundCheck);
        tmr_init(&release);
    }
    void CancelAll() {
        tmr_cancel(&noResponse);
        tmr_cancel(&noAnswer);
        tmr_cancel(&soundCheck);
        tmr_cancel(&release);
    }
};

SipCall::SipCall(SipStack& stack, const SipConfig& config, ReportFn report)
    : stack_(stack), config_(config), report_(std::move(report)), timers_(std::make_unique<Timers>()) {}

SipCall::~SipCall() {
    ended_ = true;
    Release();
}

bool SipCall::SetUpMedia() {
    struct sa local {};
    if (sa_set_str(&local, stack_.LocalIp().c_str(), 0) != 0) {
        return false;
    }
    if (rtp_listen(&rtp_, IPPROTO_UDP, &local, 10000, 60000, false, OnRtp, nullptr, this) != 0) {
        return false;
    }
    if (sdp_session_alloc(&sdp_, &local) != 0 ||
        sdp_media_add(&media_, sdp_, "audio", sa_port(rtp_local(rtp_)), "RTP/AVP") != 0) {
        return false;
    }
    for (const std::string& codec : config_.codecs) {
        const char* id = codec == "PCMU" ? "0" : "8";
        if (sdp_format_add(nullptr, media_, false, id, codec.c_str(), 8000, 1, nullptr, nullptr, nullptr,
                           false, nullptr) != 0) {
            return false;
        }
    }
    return sdp_media_set_lattr(media_, true, "ptime", "%u", 20u) == 0;
}

int SipCall::Start(const std::string& uri) {
    if (!SetUpMedia()) {
        return ENOMEM;
    }
    struct mbuf* offer = nullptr;
    if (const int err = sdp_encode(&offer, sdp_, true); err != 0) {
        return err;
    }
    const std::string target = config_.outboundProxy.empty() ? WithTransport(uri, config_.transport) : uri;
    const std::string proxy = WithTransport(config_.outboundProxy, config_.transport, true);
    const char* routes[] = {proxy.c_str()};
    const std::string from = config_.AccountUri();
    const int err =
        sipsess_connect(&session_, stack_.Sessions(), target.c_str(), config_.displayName.c_str(),
                        from.c_str(), config_.user.c_str(), routes, config_.outboundProxy.empty() ? 0 : 1,
                        "application/sdp", offer, AnswerChallenge, const_cast<SipConfig*>(&config_), false,
                        OnOffer, OnAnswer, OnProgress, OnEstablished, nullptr, nullptr, OnClosed, this, "");
    mem_deref(offer);
    if (err != 0) {
        session_ = nullptr;
        return err;
    }
    tmr_start(&timers_->noResponse, config_.responseTimeoutMs, OnNoResponse, this);
    tmr_start(&timers_->noAnswer, config_.noAnswerTimeoutMs, OnNoAnswer, this);
    std::weak_ptr<SipCall> self = weak_from_this();
    SipStack* stack = &stack_;
    audio_ = std::make_unique<CallAudio>([self, stack](const Frame& frame) {
        stack->Post([self, frame] {
            if (auto call = self.lock()) {
                call->SendFrame(frame);
            }
        });
    });
    Report(ForEvent(CallEvent::InviteSent));
    return 0;
}

void SipCall::Hangup() {
    ended_ = true;
    Release();
}

void SipCall::Report(CallOutcome outcome) {
    if (ended_ || outcome.state == lastState_) {
        return;
    }
    lastState_ = outcome.state;
    report_(outcome);
}

void SipCall::End(CallOutcome outcome) {
    if (ended_) {
        return;
    }
    Report(outcome);
    ended_ = true;
    Release();
}

void SipCall::EndFromHandler(CallOutcome outcome) {
    if (ended_) {
        return;
    }
    Report(outcome);
    ended_ = true;
    timers_->CancelAll();
    audio_.reset();
    // The stack still holds the session while its handler runs: let it go once the handler has returned.
    tmr_start(
        &timers_->release, 0, [](void* self) { static_cast<SipCall*>(self)->Release(); }, this);
}

void SipCall::Release() {
    timers_->CancelAll();
    audio_.reset();
    // A session still up sends its CANCEL or BYE as it goes.
    session_ = static_cast<struct sipsess*>(mem_deref(session_));
    rtp_ = static_cast<struct rtp_sock*>(mem_deref(rtp_));
    media_ = nullptr;
    sdp_ = static_cast<struct sdp_session*>(mem_deref(sdp_));
}

bool SipCall::TakeAnswer() {
    const struct sdp_format* format = sdp_media_rformat(media_, nullptr);
    const struct sa* remote = sdp_media_raddr(media_);
    if (format == nullptr || remote == nullptr || !sa_isset(remote, SA_ALL) ||
        (format->pt != kPcmu && format->pt != kPcma)) {
        payloadType_ = -1;
        return false;
    }
    payloadType_ = format->pt;
    return true;
}

void SipCall::SendFrame(const Frame& frame) {
    if (!established_ || ended_ || payloadType_ < 0) {
        return;
    }
    struct mbuf* packet = mbuf_alloc(RTP_HEADER_SIZE + frame.size());
    if (packet == nullptr) {
        return;
    }
    packet->pos = RTP_HEADER_SIZE;
    packet->end = RTP_HEADER_SIZE;
    std::uint8_t encoded[kFrameSamples];
    std::transform(frame.begin(), frame.end(), encoded,
                   [this](std::uint8_t s) { return Encode(s, payloadType_); });
    (void)mbuf_write_mem(packet, encoded, sizeof encoded);
    packet->pos = RTP_HEADER_SIZE;
    if (rtp_send(rtp_, sdp_media_raddr(media_), false, firstPacket_, static_cast<std::uint8_t>(payloadType_),
                 timestamp_, packet) == 0) {
        counters_->packetsSent.fetch_add(1, std::memory_order_relaxed);
    }
    firstPacket_ = false;
    timestamp_ += kFrameSamples;
    mem_deref(packet);
}

int SipCall::OnOffer(struct mbuf** description, const struct sip_msg* msg, void* arg) {
    auto* call = static_cast<SipCall*>(arg);
    if (const int err = sdp_decode(call->sdp_, msg->mb, true); err != 0) {
        return err;
    }
    call->TakeAnswer();
    return sdp_encode(description, call->sdp_, false);
}

int SipCall::OnAnswer(const struct sip_msg* msg, void* arg) {
    auto* call = static_cast<SipCall*>(arg);
    tmr_cancel(&call->timers_->noResponse);
    if (const int err = sdp_decode(call->sdp_, msg->mb, false); err != 0) {
        return err;
    }
    call->TakeAnswer();
    return 0;
}

void SipCall::OnProgress(const struct sip_msg* msg, void* arg) {
    auto* call = static_cast<SipCall*>(arg);
    tmr_cancel(&call->timers_->noResponse);
    call->Report(ForStatus(msg->scode));
}

void SipCall::OnEstablished(const struct sip_msg*, void* arg) {
    auto* call = static_cast<SipCall*>(arg);
    tmr_cancel(&call->timers_->noResponse);
    tmr_cancel(&call->timers_->noAnswer);
    if (call->payloadType_ < 0) {
        call->EndFromHandler(ForEvent(CallEvent::NoCommonFormat));
        return;
    }
    call->established_ = true;
    call->lastSoundMs_ = tmr_jiffies();
    tmr_start(&call->timers_->soundCheck, std::min<std::uint32_t>(500, call->config_.rtpTimeoutMs),
              OnSoundCheck, call);
    call->Report({LINECALLSTATE_CONNECTED, 0});
}

void SipCall::OnClosed(int err, const struct sip_msg* msg, void* arg) {
    auto* call = static_cast<SipCall*>(arg);
    CallOutcome outcome{};
    if (msg != nullptr && msg->scode >= 300) {
        outcome = ForStatus(msg->scode);
    } else if (call->established_ && (err == 0 || err == ECONNRESET)) {
        outcome = ForEvent(CallEvent::FarEndHungUp);
    } else {
        outcome = ForEvent(err == ETIMEDOUT ? CallEvent::NoResponse : CallEvent::TransportFailed);
    }
    call->EndFromHandler(outcome);
}

void SipCall::OnRtp(const struct sa*, const struct rtp_header*, struct mbuf*, void* arg) {
    auto* call = static_cast<SipCall*>(arg);
    call->counters_->packetsReceived.fetch_add(1, std::memory_order_relaxed);
    call->lastSoundMs_ = tmr_jiffies();
}

void SipCall::OnNoResponse(void* arg) {
    static_cast<SipCall*>(arg)->End(ForEvent(CallEvent::NoResponse));
}

void SipCall::OnNoAnswer(void* arg) {
    static_cast<SipCall*>(arg)->End(ForEvent(CallEvent::NoAnswer));
}

void SipCall::OnSoundCheck(void* arg) {
    auto* call = static_cast<SipCall*>(arg);
    if (tmr_jiffies() - call->lastSoundMs_ >= call->config_.rtpTimeoutMs) {
        call->End(ForEvent(CallEvent::SoundLost));
        return;
    }
    tmr_start(&call->timers_->soundCheck, std::min<std::uint32_t>(500, call->config_.rtpTimeoutMs),
              OnSoundCheck, call);
}

} // namespace platform::tapi::sipline
