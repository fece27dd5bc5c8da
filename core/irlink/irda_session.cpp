#include "irlink/irda_session.h"

#include <chrono>
#include <cstring>
#include <system_error>

#include "irlink/transfer_monitor.h"

namespace sorvanto {

IrdaSession::IrdaSession(std::unique_ptr<LinkApi> link) : link_(std::move(link)) {
    if (link_) {
        library_started_ = link_->Startup();
        event_ = link_->CreateEvent();
    }
}

IrdaSession::~IrdaSession() {
    Stop(1);
    CloseData();
    if (link_ && event_ != kNoEvent) link_->CloseEvent(event_);
}

int IrdaSession::OnConnected(int) { return 0; }
int IrdaSession::OnPacket(const std::uint8_t*, int) { return 0; }
int IrdaSession::OnClosed(int) { return 0; }

int IrdaSession::CreateSocket(int mode) {
    mode_ = mode == 1 ? 1 : 0;
    if (!link_) return -1;
    const LinkSocket s = link_->CreateSocket();
    if (s == kNoSocket) return -1;
    primary_ = s;
    if (mode == 1) return 0;
    int result = 0;
    if (!link_->Bind(s)) result = -2;
    else if (!link_->Listen(s, 1)) result = -3;
    if (result != 0) {
        primary_ = kNoSocket;
        link_->Close(s);
    }
    return result;
}

int IrdaSession::OpenServer() {
    if (primary_ == kNoSocket) CreateSocket(0);
    const LinkSocket s = primary_;
    if (s == kNoSocket || !link_->SelectEvents(s, event_, kFdAccept | kFdClose)) return -1;
    return 0;
}

int IrdaSession::OpenClient() {
    if (primary_ == kNoSocket) CreateSocket(1);
    const LinkSocket s = primary_;
    if (s == kNoSocket) return -1;
    link_->SetTimeouts(s, 5000, 5000);
    if (!link_->SelectEvents(s, event_, kFdRead | kFdConnect | kFdClose)) return -1;
    return 0;
}

int IrdaSession::EnumerateDevices() {
    SetDeviceCount(devices_, 0);
    const LinkSocket s = primary_;
    if (!link_ || s == kNoSocket || !link_->EnumerateDevices(s, devices_)) return -1;
    return 0;
}

int IrdaSession::LastDeviceName(std::string* out) const {
    const int n = DeviceCount();
    if (n == 0) return 0;
    if (out) *out = DeviceName(devices_, n - 1);
    return 1;
}

void IrdaSession::Connect(const std::uint8_t address[4]) {
    const LinkSocket s = primary_;
    if (link_ && s != kNoSocket) link_->Connect(s, address);
}

int IrdaSession::Accept() {
    const LinkSocket s = primary_;
    if (!link_ || s == kNoSocket) return -4;
    const LinkSocket d = link_->Accept(s);
    if (d == kNoSocket) return -4;
    data_ = d;
    data_is_primary_ = false;
    return 0;
}

int IrdaSession::SelectEvents(std::uint32_t mask) {
    if (!link_ || data_ == kNoSocket) return 0;
    return link_->SelectEvents(data_, event_, mask) ? 1 : 0;
}

int IrdaSession::PollEvents(LinkSocket s, NetworkEvents* out) {
    if (!link_ || s == kNoSocket) return 0;
    return link_->QueryEvents(s, event_, out) ? 1 : 0;
}

std::string IrdaSession::PeerAddress() const {
    if (!link_ || data_ == kNoSocket) return {};
    return link_->PeerAddress(data_);
}

int IrdaSession::Send(const std::uint8_t* data, int length) {
    if (!link_ || data_ == kNoSocket) return -1;
    return link_->Send(data_, data, length);
}

int IrdaSession::StartWorker() {
    if (worker_active_) return 0;
    if (worker_.joinable()) worker_.join();  // an earlier loop that ended on its own
    running_ = 1;
    worker_active_ = true;
    try {
        worker_ = std::thread([this] {
            Run(nullptr);
            worker_active_ = false;
        });
    } catch (const std::system_error&) {
        worker_active_ = false;
        running_ = 0;
        return 0;
    }
    return 1;
}

int IrdaSession::Stop(int wait) {
    running_ = 0;
    const LinkSocket s = primary_.exchange(kNoSocket);
    if (s != kNoSocket && link_) link_->Close(s);
    if (wait == 1 && worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
    return 1;
}

void IrdaSession::BeginClientRun() {
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
    running_ = 1;
}

void IrdaSession::CloseData() {
    if (data_ == kNoSocket) return;
    if (data_is_primary_) {
        // In client mode the data socket is the primary one; Stop may have closed it already.
        const LinkSocket s = primary_.exchange(kNoSocket);
        if (s != kNoSocket && link_) link_->Close(s);
    } else if (link_) {
        link_->Close(data_);
    }
    data_ = kNoSocket;
    data_is_primary_ = false;
}

void IrdaSession::ConnectionLost(bool* connected) {
    OnClosed(kClosedCode);
    CloseData();
    *connected = false;
}

bool IrdaSession::Fill(int* have, int need) {
    int failures = 0;
    while (*have < need) {
        const int n = link_->Recv(data_, buffer_.data() + *have, need - *have);
        if (n > 0) {
            *have += n;
            failures = 0;
            continue;
        }
        // A zero read is the peer's orderly close: the packet can never be completed.
        if (n == 0 || !running_) return false;
        if (++failures >= kMaxReadFailures) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetrySleepMs));
    }
    return true;
}

void IrdaSession::ReadPackets(bool* connected) {
    int have = link_->Recv(data_, buffer_.data(), kReceiveBufferSize);
    if (have <= 0) {
        ConnectionLost(connected);
        return;
    }
    for (;;) {
        // The declared length needs the first three bytes; a piece shorter than that is
        // completed like any other.
        if (!Fill(&have, 3)) {
            ConnectionLost(connected);
            return;
        }
        const int length = (buffer_[1] << 8) | buffer_[2];
        // A length that cannot be a packet, or one larger than the buffer, ends the connection
        // as a failed read would: nothing of it is handed on.
        if (length < 3 || length > kReceiveBufferSize || !Fill(&have, length)) {
            ConnectionLost(connected);
            return;
        }
        if (OnPacket(buffer_.data(), length) != 0) {
            CloseData();
            *connected = false;
            return;
        }
        // Bytes behind the packet (a peer that sends before it is answered) begin the next one.
        have -= length;
        if (have <= 0) return;
        std::memmove(buffer_.data(), buffer_.data() + length, static_cast<std::size_t>(have));
    }
}

bool IrdaSession::RunClientConnect(TransferMonitor* monitor, bool* connected) {
    const int n = DeviceCount();
    std::uint8_t address[4];
    if (!DeviceAddress(devices_, n - 1, address)) return false;
    Connect(address);
    for (int cycle = 0; cycle < kConnectCycles; ++cycle) {
        if (link_->WaitForEvent(event_, kWaitMs)) {
            const LinkSocket s = primary_;
            last_events_ = NetworkEvents{};
            PollEvents(s, &last_events_);
            if (last_events_.mask & kFdConnect) {
                if (last_events_.error[kFdConnectBit] == 0) {
                    data_ = s;
                    data_is_primary_ = true;
                    *connected = true;
                    OnConnected(kOutgoing);
                    SelectEvents(kFdRead | kFdClose);
                }
                // A connect event with an error is a refusal: no use waiting out the cycles.
                break;
            }
            if (last_events_.mask & kFdClose) break;
        }
        if (monitor && monitor->KeepGoing() == 0) break;
    }
    return *connected;
}

int IrdaSession::Run(TransferMonitor* monitor) {
    data_ = kNoSocket;
    data_is_primary_ = false;
    int result = -1;
    bool connected = false;
    bool had_connection = false;
    if (monitor) monitor->Begin();
    if (!link_) running_ = 0;
    while (running_) {
        if (!connected && mode_ == 1) {
            if (had_connection || DeviceCount() == 0) break;
            if (!RunClientConnect(monitor, &connected)) {
                const LinkSocket s = primary_.exchange(kNoSocket);
                if (s != kNoSocket) {
                    link_->SelectEvents(s, event_, 0);
                    link_->Shutdown(s);
                    link_->Close(s);
                }
                break;
            }
            had_connection = true;
        } else if (!connected) {
            // The listening socket is asked even when the wait ran out: a connection that came
            // in while the previous one was served was recorded then, and the event that it
            // signalled has since been reset by the data socket's query.
            link_->WaitForEvent(event_, kWaitMs);
            {
                last_events_ = NetworkEvents{};
                PollEvents(primary_, &last_events_);
                if (last_events_.mask & kFdAccept) {
                    if (Accept() != 0) break;
                    SelectEvents(kFdRead | kFdClose);
                    connected = true;
                    if (OnConnected(kIncoming) != 0) {
                        CloseData();  // refused: the listener is asked again for the next one
                        connected = false;
                    }
                }
            }
        } else {
            result = 0;
            if (link_->WaitForEvent(event_, kWaitMs)) {
                last_events_ = NetworkEvents{};
                PollEvents(data_, &last_events_);
                if (last_events_.mask & kFdRead) ReadPackets(&connected);
                // The read path may already have reported the loss; report it only once.
                if (connected && (last_events_.mask & kFdClose)) ConnectionLost(&connected);
            }
        }
        if (monitor && monitor->KeepGoing() == 0) break;
    }
    if (connected || had_connection) result = 0;
    if (monitor) monitor->End();
    // A connection still open when the loop ends is closed too, so that no socket outlives it.
    CloseData();
    return result;
}

}  // namespace sorvanto
