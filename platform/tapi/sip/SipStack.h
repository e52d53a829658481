// The SIP stack's own thread: libre's event loop, with SIP set up on the account's local address and
// transport. Everything that touches the stack (SIP, SDP, RTP, timers) runs on this thread; other threads
// hand it work with Post, which queues a task and wakes the loop through libre's message queue.
//
// Stop (and the destructor) runs a last task, then lets the transactions still open (a BYE, a CANCEL, an
// unregistration) finish for at most two seconds, closes every socket and ends the thread.
#pragma once

#include "platform/tapi/sip/SipConfig.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct sip;
struct sipsess_sock;
struct mqueue;
struct dnsc;
struct tls;
struct tmr;

namespace platform::tapi::sipline {

class SipStack {
public:
    // Starts the thread and sets SIP up; null with `error` when it cannot (no such local address, port in
    // use, no TLS).
    static std::unique_ptr<SipStack> Start(const SipConfig& config, std::string* error);
    ~SipStack();
    SipStack(const SipStack&) = delete;
    SipStack& operator=(const SipStack&) = delete;

    // Runs `task` on the stack's thread after every task posted before it. Dropped once Stop has begun.
    void Post(std::function<void()> task);

    // Runs `last` on the stack's thread, then closes down and ends the thread. Returns when it has ended.
    void Stop(std::function<void()> last = {});

    // The stack thread's own objects.
    struct ::sip* Sip() const {
        return sip_;
    }
    struct ::sipsess_sock* Sessions() const {
        return sessions_;
    }
    // The local IP address (no port) that SIP and RTP use, as text.
    const std::string& LocalIp() const { return localIp_; }

private:
    SipStack() = default;
    void Run(const SipConfig& config, std::function<void(std::string)> ready);
    bool SetUp(const SipConfig& config, std::string* error);
    void TearDown();
    void RunTasks();
    static void OnWake(int id, void* data, void* arg);

    std::thread thread_;
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;

    // stack thread only
    struct ::mqueue* wake_ = nullptr;
    struct ::dnsc* dns_ = nullptr;
    struct ::tls* tls_ = nullptr;
    struct ::tmr* grace_ = nullptr;
    struct ::sip* sip_ = nullptr;
    struct ::sipsess_sock* sessions_ = nullptr;
    std::string localIp_;
};

} // namespace platform::tapi::sipline
