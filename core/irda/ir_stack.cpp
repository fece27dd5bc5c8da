#include "irda/ir_stack.h"

namespace sorvanto::irda {

namespace {
constexpr char kObexClass[] = "OBEX";
// Palm and Windows pushers look the service up under this class.
constexpr char kIrXferClass[] = "OBEX:IrXfer";
constexpr char kLsapSelAttribute[] = "IrDA:TinyTP:LsapSel";
}  // namespace

IrStack::IrStack(IrStackConfig config, FramePort* port, std::mt19937 rng)
    : config_(std::move(config)),
      station_(config_.lap, port, std::move(rng)),
      lmp_(station_),
      ias_server_(lmp_),
      ias_client_(lmp_),
      ttp_(lmp_, this, config_.ttp) {
    station_.SetUser(&lmp_);
    ias_server_.Set("Device", "DeviceName", IasValue::String(config_.lap.nickname, config_.lap.charset));
    ias_server_.Set("Device", "IrLMPSupport", IasValue::Octets({0x01, 0x00, 0x00}));
    ias_server_.Set(kObexClass, kLsapSelAttribute, IasValue::Integer(config_.obex_lsap));
    ias_server_.Set(kIrXferClass, kLsapSelAttribute, IasValue::Integer(config_.obex_lsap));
}

IrStack::~IrStack() { station_.SetUser(nullptr); }

void IrStack::Pump(Micros now) {
    lmp_.Pump(now);
    ttp_.Pump(now);
    lmp_.Pump(now);
}

void IrStack::OnFrame(const std::uint8_t* frame, std::size_t length, Micros now) {
    station_.OnFrame(frame, length, now);
    Pump(now);
}

void IrStack::OnMediaBusy(Micros now) { station_.OnMediaBusy(now); }

Micros IrStack::NextDeadline() const {
    Micros next = 0;
    for (Micros d : {station_.NextDeadline(), lmp_.NextDeadline(), ias_client_.NextDeadline(), ttp_.NextDeadline()})
        if (d && (!next || d < next)) next = d;
    return next;
}

void IrStack::OnTimer(Micros now) {
    const Micros station_due = station_.NextDeadline();
    if (station_due && station_due <= now) station_.OnTimer(now);
    lmp_.OnTimer(now);
    ias_client_.OnTimer(now);
    ttp_.OnTimer(now);
    Pump(now);
}

bool IrStack::Discover(Micros now) {
    if (discovering_) return false;
    discovering_ = true;
    lmp_.Discover(config_.discovery_slots, [this](const std::vector<DiscoveredDevice>& found, Micros) {
        devices_ = found;
        discovering_ = false;
        ++discoveries_;
    }, now);
    return true;
}

int IrStack::Connect(std::uint32_t device, Micros now) {
    if (ias_client_.Busy()) return -1;
    const int id = next_conn_++;
    Conn& c = conns_[id];
    c.peer = device;
    QueryObex(id, kObexClass, now);
    return id;
}

void IrStack::QueryObex(int id, const char* class_name, Micros now) {
    Conn& c = conns_[id];
    c.state = ConnState::kQuerying;
    const bool started = ias_client_.Query(c.peer, class_name, kLsapSelAttribute,
                                           [this, id](const IasAnswer* a, Micros t) { OnIasAnswer(id, a, t); }, now);
    if (!started) {
        c.state = ConnState::kFailed;
        c.error = ConnError::kRefused;
    }
}

void IrStack::OnIasAnswer(int id, const IasAnswer* answer, Micros now) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return;
    Conn& c = it->second;
    if (!answer) {
        // No link, or no answer at all.
        c.state = ConnState::kFailed;
        c.error = ConnError::kTimedOut;
        return;
    }
    if (answer->code != kIasSuccess || answer->value.type != IasValue::kInteger) {
        if (!c.tried_irxfer) {
            c.tried_irxfer = true;
            QueryObex(id, kIrXferClass, now);
            return;
        }
        c.state = ConnState::kFailed;
        c.error = ConnError::kRefused;
        return;
    }
    const std::uint32_t lsap = answer->value.integer;
    if (lsap < 0x01 || lsap > kLastDynamicLsap) {
        c.state = ConnState::kFailed;
        c.error = ConnError::kRefused;
        return;
    }
    c.ttp = ttp_.Connect(c.peer, static_cast<std::uint8_t>(lsap), now);
    if (c.ttp < 0) {
        c.state = ConnState::kFailed;
        c.error = ConnError::kRefused;
        return;
    }
    c.state = ConnState::kConnecting;
}

void IrStack::Listen(bool on) {
    if (on == listening_) return;
    listening_ = on;
    if (on) ttp_.Listen(config_.obex_lsap);
    else ttp_.Unlisten(config_.obex_lsap);
}

int IrStack::Accept() {
    if (accepts_.empty()) return -1;
    const int id = accepts_.front();
    accepts_.pop_front();
    return id;
}

int IrStack::ByTtp(int ttp) const {
    for (const auto& [id, c] : conns_)
        if (c.ttp == ttp) return id;
    return -1;
}

int IrStack::TtpConn(int conn) const {
    auto it = conns_.find(conn);
    return it == conns_.end() ? -1 : it->second.ttp;
}

IrStack::ConnState IrStack::State(int conn) const {
    auto it = conns_.find(conn);
    return it == conns_.end() ? ConnState::kFailed : it->second.state;
}

IrStack::ConnError IrStack::Error(int conn) const {
    auto it = conns_.find(conn);
    return it == conns_.end() ? ConnError::kReset : it->second.error;
}

std::uint32_t IrStack::Peer(int conn) const {
    auto it = conns_.find(conn);
    return it == conns_.end() ? 0 : it->second.peer;
}

int IrStack::Send(int conn, const std::uint8_t* data, std::size_t length, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end() || it->second.state != ConnState::kOpen) return -1;
    if (!ttp_.Send(it->second.ttp, data, length, now)) return -1;
    lmp_.Pump(now);
    return static_cast<int>(length);
}

std::size_t IrStack::Recv(int conn, std::uint8_t* out, std::size_t n, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end() || it->second.ttp < 0) return 0;
    const std::size_t got = ttp_.Read(it->second.ttp, out, n, now);
    lmp_.Pump(now);
    return got;
}

std::size_t IrStack::Readable(int conn) const {
    auto it = conns_.find(conn);
    return it == conns_.end() || it->second.ttp < 0 ? 0 : ttp_.Readable(it->second.ttp);
}

std::size_t IrStack::Unsent(int conn) const {
    auto it = conns_.find(conn);
    return it == conns_.end() || it->second.ttp < 0 ? 0 : ttp_.Unsent(it->second.ttp);
}

void IrStack::Close(int conn, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end()) return;
    if (it->second.state == ConnState::kQuerying) ias_client_.Cancel(now);
    if (it->second.ttp >= 0) ttp_.Close(it->second.ttp, now);
    conns_.erase(it);
    for (auto a = accepts_.begin(); a != accepts_.end(); ++a)
        if (*a == conn) {
            accepts_.erase(a);
            break;
        }
    Pump(now);
}

void IrStack::CloseAll(Micros now) {
    std::vector<int> ids;
    for (const auto& [id, c] : conns_) ids.push_back(id);
    for (int id : ids) Close(id, now);
}

bool IrStack::Drained() const {
    return !station_.Connected() || (ttp_.Idle() && lmp_.CanSend() && station_.QueuedFrames() == 0);
}

void IrStack::Shutdown(Micros now) {
    CloseAll(now);
    if (station_.Connected()) station_.DisconnectRequest(now);
}

void IrStack::OnTtpIncoming(int ttp, Micros) {
    const int id = next_conn_++;
    Conn& c = conns_[id];
    c.state = ConnState::kOpen;
    c.peer = lmp_.Peer();
    c.ttp = ttp;
    accepts_.push_back(id);
}

void IrStack::OnTtpConnected(int ttp, bool ok, Micros) {
    const int id = ByTtp(ttp);
    if (id < 0) return;
    Conn& c = conns_[id];
    c.state = ok ? ConnState::kOpen : ConnState::kFailed;
    c.error = ok ? ConnError::kNone : ConnError::kRefused;
}

void IrStack::OnTtpData(int, Micros) {}

void IrStack::OnTtpClosed(int ttp, int reason, Micros) {
    const int id = ByTtp(ttp);
    if (id < 0) return;
    Conn& c = conns_[id];
    c.state = ConnState::kClosed;
    c.error = reason == kLmUserRequest ? ConnError::kNone : ConnError::kReset;
}

}  // namespace sorvanto::irda
