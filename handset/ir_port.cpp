#include "ir_port.h"

#include <chrono>
#include <thread>

#include "irda/serial_sir_line.h"
#include "platform/link_settings.h"

namespace handset {

namespace {

using sorvanto::LinkApi;
using sorvanto::LinkEvent;
using sorvanto::LinkSocket;
using Clock = std::chrono::steady_clock;

// Waits on a socket's event in slices, so that an event missed between a call and the wait
// costs a slice, not the whole time-out.
constexpr int kSliceMs = 200;

class IrStream : public Stream {
public:
    IrStream(LinkApi* link, LinkSocket s) : link_(link), s_(s), event_(link->CreateEvent()) {
        link_->SelectEvents(s_, event_, sorvanto::kFdRead | sorvanto::kFdClose);
    }
    ~IrStream() override {
        link_->SelectEvents(s_, event_, 0);
        link_->Shutdown(s_);
        link_->Close(s_);
        link_->CloseEvent(event_);
    }

    bool Write(const std::string& bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const int n = link_->Send(s_, reinterpret_cast<const std::uint8_t*>(bytes.data()) + done,
                                      static_cast<int>(bytes.size() - done));
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    int Read(char* into, std::size_t n, int timeout_ms) override {
        const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
        for (;;) {
            const int got = link_->Recv(s_, reinterpret_cast<std::uint8_t*>(into), static_cast<int>(n));
            if (got >= 0) return got;
            if (timeout_ms >= 0 && Clock::now() >= end) return -1;
            // Recv says 0 once the peer has closed and what it sent before has been read.
            link_->WaitForEvent(event_, kSliceMs);
            sorvanto::NetworkEvents events;
            link_->QueryEvents(s_, event_, &events);
        }
    }

private:
    LinkApi* link_;
    LinkSocket s_;
    LinkEvent event_;
};

}  // namespace

const std::vector<std::uint8_t> IrPort::kHandsetHints{0x82, 0x21};

std::unique_ptr<IrPort> IrPort::Open(const std::string& path, int max_baud, const std::string& name,
                                     const std::string& capture, std::string* error) {
    sorvanto::LinkSettings settings;
    settings.transport = std::string(sorvanto::LinkSettings::kSir);
    settings.port = path;
    settings.adapter = "plain";
    settings.max_baud = sorvanto::LinkSettings::SnappedMaxBaud(max_baud);
    settings.device_name = sorvanto::LinkSettings::CheckedDeviceName(name);
    settings.capture = capture;
    auto link = sorvanto::irda::OpenSirLink(settings, kHandsetHints, error);
    if (!link) return nullptr;
    if (!link->Startup()) {
        if (error) *error = path + ": the infrared stack does not start";
        return nullptr;
    }
    return std::unique_ptr<IrPort>(new IrPort(std::move(link)));
}

IrPort::~IrPort() {
    if (listener_ != sorvanto::kNoSocket) link_->Close(listener_);
    if (listen_event_ != sorvanto::kNoEvent) link_->CloseEvent(listen_event_);
}

std::unique_ptr<Stream> IrPort::Connect(int timeout_ms, std::string* error) {
    const LinkSocket s = link_->CreateSocket();
    if (s == sorvanto::kNoSocket) {
        if (error) *error = "no socket on the infrared link";
        return nullptr;
    }
    const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
    sorvanto::DeviceList list{};
    for (;;) {
        list.fill(0);
        if (link_->EnumerateDevices(s, list) && sorvanto::DeviceCount(list) > 0) break;
        if (Clock::now() >= end) {
            link_->Close(s);
            if (error) *error = "no device answered discovery";
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::uint8_t address[4];
    sorvanto::DeviceAddress(list, 0, address);
    const std::string peer = sorvanto::DeviceName(list, 0);
    const LinkEvent event = link_->CreateEvent();
    link_->SelectEvents(s, event, sorvanto::kFdConnect);
    int result = -1;
    if (link_->Connect(s, address)) {
        while (Clock::now() < end + std::chrono::seconds(10)) {
            link_->WaitForEvent(event, kSliceMs);
            sorvanto::NetworkEvents events;
            if (link_->QueryEvents(s, event, &events) && (events.mask & sorvanto::kFdConnect)) {
                result = events.error[sorvanto::kFdConnectBit];
                break;
            }
        }
    }
    link_->SelectEvents(s, event, 0);
    link_->CloseEvent(event);
    if (result != 0) {
        link_->Close(s);
        if (error)
            *error = "cannot connect to the OBEX service of " + peer +
                     (result > 0 ? " (error " + std::to_string(result) + ")" : std::string(" (no answer)"));
        return nullptr;
    }
    return std::make_unique<IrStream>(link_.get(), s);
}

std::unique_ptr<Stream> IrPort::Accept(std::string* error) {
    if (listener_ == sorvanto::kNoSocket) {
        listener_ = link_->CreateSocket();
        if (listener_ == sorvanto::kNoSocket || !link_->Bind(listener_) || !link_->Listen(listener_, 1)) {
            if (error) *error = "cannot offer the OBEX service on the infrared link";
            return nullptr;
        }
        listen_event_ = link_->CreateEvent();
        link_->SelectEvents(listener_, listen_event_, sorvanto::kFdAccept);
    }
    for (;;) {
        const LinkSocket s = link_->Accept(listener_);
        if (s != sorvanto::kNoSocket) return std::make_unique<IrStream>(link_.get(), s);
        link_->WaitForEvent(listen_event_, kSliceMs);
        sorvanto::NetworkEvents events;
        link_->QueryEvents(listener_, listen_event_, &events);
    }
}

}  // namespace handset
