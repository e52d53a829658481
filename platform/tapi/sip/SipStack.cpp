#include "platform/tapi/sip/SipStack.h"

#include "platform/tapi/sip/Re.h"

#include <cstring>
#include <future>
#include <mutex>

namespace platform::tapi::sipline {
namespace {

constexpr std::uint64_t kCloseGraceMs = 2000;

void InitialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { libre_init(); });
}

std::string Errno(int err) {
    return std::strerror(err);
}

// Incoming calls are turned away: the monitor only calls out.
void OnIncoming(const struct sip_msg* msg, void* arg) {
    auto* stack = static_cast<SipStack*>(arg);
    (void)sip_treply(nullptr, stack->Sip(), msg, 486, "Busy Here");
}

void OnClosed(void*) {
    re_cancel();
}

void OnCloseGraceOver(void*) {
    re_cancel();
}

bool LocalAddress(const SipConfig& config, struct sa* address, std::string* error) {
    if (config.localAddress.empty()) {
        if (const int err = net_default_source_addr_get(AF_INET, address); err != 0) {
            *error = "no local address to send from (" + Errno(err) + "); give one with the key local";
            return false;
        }
    } else if (sa_set_str(address, config.localAddress.c_str(), 0) != 0) {
        *error = "local: '" + config.localAddress + "' is not an IP address";
        return false;
    }
    sa_set_port(address, config.localPort);
    return true;
}

} // namespace

std::unique_ptr<SipStack> SipStack::Start(const SipConfig& config, std::string* error) {
    InitialiseLibraryOnce();
    std::unique_ptr<SipStack> stack(new SipStack);
    std::promise<std::string> ready;
    auto outcome = ready.get_future();
    stack->thread_ = std::thread([raw = stack.get(), config, &ready] {
        raw->Run(config, [&ready](std::string why) { ready.set_value(std::move(why)); });
    });
    *error = outcome.get();
    if (!error->empty()) {
        stack->thread_.join();
        return nullptr;
    }
    return stack;
}

SipStack::~SipStack() {
    Stop();
}

void SipStack::Run(const SipConfig& config, std::function<void(std::string)> ready) {
    (void)re_thread_init();
    std::string error;
    const bool up = SetUp(config, &error);
    ready(up ? std::string() : error);
    if (up) {
        (void)re_main(nullptr);
    }
    TearDown();
    re_thread_close();
}

bool SipStack::SetUp(const SipConfig& config, std::string* error) {
    if (const int err = mqueue_alloc(&wake_, OnWake, this); err != 0) {
        *error = "cannot start the SIP thread's queue: " + Errno(err);
        return false;
    }
    struct sa local {};
    if (!LocalAddress(config, &local, error)) {
        return false;
    }
    char ip[64] = {};
    (void)sa_ntop(&local, ip, sizeof ip);
    localIp_ = ip;

    struct sa servers[8];
    std::uint32_t count = 8;
    char domain[256] = {};
    if (dns_srv_get(domain, sizeof domain, servers, &count) != 0) {
        count = 0;
    }
    if (const int err = dnsc_alloc(&dns_, nullptr, servers, count); err != 0) {
        *error = "cannot set up name lookups: " + Errno(err);
        return false;
    }
    if (const int err = sip_alloc(&sip_, dns_, 32, 32, 32, "Lullwatch", OnClosed, this); err != 0) {
        *error = "cannot set up SIP: " + Errno(err);
        return false;
    }
    int err = 0;
    switch (config.transport) {
    case Transport::Udp:
        err = sip_transp_add(sip_, SIP_TRANSP_UDP, &local);
        break;
    case Transport::Tcp:
        err = sip_transp_add(sip_, SIP_TRANSP_TCP, &local);
        break;
    case Transport::Tls:
        err = tls_alloc(&tls_, TLS_METHOD_SSLV23, nullptr, nullptr);
        if (err == 0 && !config.tlsCa.empty()) {
            err = tls_add_ca(tls_, config.tlsCa.c_str());
        }
        if (err == 0) {
            err = sip_transp_add(sip_, SIP_TRANSP_TLS, &local, tls_);
        }
        break;
    }
    if (err != 0) {
        *error = std::string("cannot listen for SIP over ") + TransportName(config.transport) + " on " +
                 localIp_ + (config.localPort != 0 ? ":" + std::to_string(config.localPort) : std::string()) +
                 ": " + Errno(err);
        return false;
    }
    if (const int e = sipsess_listen(&sessions_, sip_, 32, OnIncoming, this); e != 0) {
        *error = "cannot set up SIP sessions: " + Errno(e);
        return false;
    }
    return true;
}

void SipStack::TearDown() {
    if (grace_ != nullptr) {
        tmr_cancel(grace_);
        delete grace_;
        grace_ = nullptr;
    }
    sessions_ = static_cast<struct sipsess_sock*>(mem_deref(sessions_));
    if (sip_ != nullptr) {
        sip_close(sip_, true);
    }
    sip_ = static_cast<struct ::sip*>(mem_deref(sip_));
    dns_ = static_cast<struct ::dnsc*>(mem_deref(dns_));
    tls_ = static_cast<struct ::tls*>(mem_deref(tls_));
    std::lock_guard lock(mutex_);
    wake_ = static_cast<struct ::mqueue*>(mem_deref(wake_));
    tasks_.clear();
}

void SipStack::Post(std::function<void()> task) {
    // The wake-up goes out under the lock too: the queue it writes to is freed, under the same lock, as
    // soon as the thread has run the closing task.
    std::lock_guard lock(mutex_);
    if (stopping_) {
        return;
    }
    tasks_.push_back(std::move(task));
    (void)mqueue_push(wake_, 0, nullptr);
}

void SipStack::OnWake(int, void*, void* arg) {
    static_cast<SipStack*>(arg)->RunTasks();
}

void SipStack::RunTasks() {
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

void SipStack::Stop(std::function<void()> last) {
    if (!thread_.joinable()) {
        return;
    }
    // The closing task goes in under the same lock that then turns further tasks away, so it is the last.
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return;
        }
        tasks_.push_back([this, last = std::move(last)] {
            if (last) {
                last();
            }
            grace_ = new struct tmr;
            tmr_init(grace_);
            tmr_start(grace_, kCloseGraceMs, OnCloseGraceOver, nullptr);
            // Lets the open transactions finish; OnClosed ends the loop once they have.
            sip_close(sip_, false);
        });
        stopping_ = true;
        (void)mqueue_push(wake_, 0, nullptr);
    }
    thread_.join();
}

} // namespace platform::tapi::sipline
