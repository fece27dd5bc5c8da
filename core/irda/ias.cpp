#include "irda/ias.h"

namespace sorvanto::irda {

namespace {

constexpr std::size_t kMaxOctets = 1024;
constexpr std::size_t kMaxString = 255;

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

// A counted name at data[*at]; false when the count or the name runs past length or the limit.
bool ReadName(const std::uint8_t* data, std::size_t length, std::size_t* at, std::string* out) {
    if (*at >= length) return false;
    const std::size_t n = data[*at];
    if (n > kIasMaxName || *at + 1 + n > length) return false;
    out->assign(reinterpret_cast<const char*>(data + *at + 1), n);
    *at += 1 + n;
    return true;
}

}  // namespace

IasValue IasValue::Integer(std::uint32_t v) {
    IasValue value;
    value.type = kInteger;
    value.integer = v;
    return value;
}

IasValue IasValue::Octets(std::vector<std::uint8_t> v) {
    IasValue value;
    value.type = kOctets;
    if (v.size() > kMaxOctets) v.resize(kMaxOctets);
    value.bytes = std::move(v);
    return value;
}

IasValue IasValue::String(const std::string& s, std::uint8_t charset) {
    IasValue value;
    value.type = kString;
    value.charset = charset;
    value.bytes.assign(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(std::min(s.size(), kMaxString)));
    return value;
}

bool ParseIasRequest(const std::uint8_t* data, std::size_t length, IasRequest* out) {
    if (!data || !out || length < 1) return false;
    *out = IasRequest{};
    out->opcode = data[0] & kIasOpMask;
    out->last = (data[0] & kIasLast) != 0;
    if (out->opcode != kIasGetValueByClass) return false;
    std::size_t at = 1;
    return ReadName(data, length, &at, &out->class_name) && ReadName(data, length, &at, &out->attribute);
}

std::vector<std::uint8_t> IasRequestBytes(const std::string& class_name, const std::string& attribute) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(kIasLast | kIasGetValueByClass)};
    for (const std::string* name : {&class_name, &attribute}) {
        const std::size_t n = std::min(name->size(), kIasMaxName);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), name->begin(), name->begin() + static_cast<std::ptrdiff_t>(n));
    }
    return out;
}

bool ParseIasAnswer(const std::uint8_t* data, std::size_t length, IasAnswer* out) {
    if (!data || !out || length < 2) return false;
    *out = IasAnswer{};
    out->opcode = data[0] & kIasOpMask;
    out->code = data[1];
    if (length < 4) return out->code != kIasSuccess;
    out->count = GetU16(data + 2);
    if (out->count == 0) return out->code != kIasSuccess;
    if (length < 7) return false;
    out->object_id = GetU16(data + 4);
    const std::uint8_t type = data[6];
    std::size_t at = 7;
    IasValue& v = out->value;
    switch (type) {
    case IasValue::kMissing: v.type = IasValue::kMissing; return true;
    case IasValue::kInteger:
        if (at + 4 > length) return false;
        v.type = IasValue::kInteger;
        v.integer = (std::uint32_t{data[at]} << 24) | (std::uint32_t{data[at + 1]} << 16) |
                    (std::uint32_t{data[at + 2]} << 8) | data[at + 3];
        return true;
    case IasValue::kOctets: {
        if (at + 2 > length) return false;
        const std::size_t n = GetU16(data + at);
        at += 2;
        if (n > kMaxOctets || at + n > length) return false;
        v.type = IasValue::kOctets;
        v.bytes.assign(data + at, data + at + n);
        return true;
    }
    case IasValue::kString: {
        if (at + 2 > length) return false;
        v.charset = data[at];
        const std::size_t n = data[at + 1];
        at += 2;
        if (at + n > length) return false;
        v.type = IasValue::kString;
        v.bytes.assign(data + at, data + at + n);
        return true;
    }
    default: return false;
    }
}

std::vector<std::uint8_t> IasAnswerBytes(std::uint8_t opcode, std::uint8_t code, std::uint16_t object_id,
                                         const IasValue& value) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(kIasLast | (opcode & kIasOpMask)), code};
    if (code == kIasUnsupported) return out;
    PutU16(out, 1);
    PutU16(out, object_id);
    out.push_back(value.type);
    switch (value.type) {
    case IasValue::kMissing: break;
    case IasValue::kInteger:
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value.integer >> shift));
        break;
    case IasValue::kOctets:
        PutU16(out, static_cast<std::uint16_t>(value.bytes.size()));
        out.insert(out.end(), value.bytes.begin(), value.bytes.end());
        break;
    case IasValue::kString:
        out.push_back(value.charset);
        out.push_back(static_cast<std::uint8_t>(value.bytes.size()));
        out.insert(out.end(), value.bytes.begin(), value.bytes.end());
        break;
    }
    return out;
}

IasServer::IasServer(Irlmp& lmp) : lmp_(lmp) { lmp_.Listen(kIasLsap, this); }

IasServer::~IasServer() { lmp_.Unlisten(kIasLsap); }

void IasServer::Set(const std::string& class_name, const std::string& attribute, IasValue value) {
    auto it = objects_.find(class_name);
    if (it == objects_.end()) {
        it = objects_.emplace(class_name, Object{}).first;
        it->second.id = next_id_++;
    }
    it->second.attributes[attribute] = std::move(value);
}

std::vector<std::uint8_t> IasServer::Answer(const std::uint8_t* data, std::size_t length) const {
    IasRequest request;
    const bool parsed = ParseIasRequest(data, length, &request);
    if (length == 0 || !request.last) return {};
    if (request.opcode != kIasGetValueByClass) return IasAnswerBytes(request.opcode, kIasUnsupported, 0, {});
    if (!parsed) return {};
    auto object = objects_.find(request.class_name);
    if (object == objects_.end())
        return IasAnswerBytes(kIasGetValueByClass, kIasNoSuchClass, kIasUnknownObjectId, IasValue{});
    auto attribute = object->second.attributes.find(request.attribute);
    if (attribute == object->second.attributes.end())
        return IasAnswerBytes(kIasGetValueByClass, kIasNoSuchAttribute, object->second.id, IasValue{});
    return IasAnswerBytes(kIasGetValueByClass, kIasSuccess, object->second.id, attribute->second);
}

bool IasServer::OnLmConnectIndication(int, const std::uint8_t*, std::size_t, std::vector<std::uint8_t>*, Micros) {
    return true;
}

void IasServer::OnLmData(int conn, const std::uint8_t* data, std::size_t length, Micros now) {
    const std::vector<std::uint8_t> answer = Answer(data, length);
    if (answer.empty()) return;
    // An answer longer than the link's data size cannot go in one frame: "unsupported" instead.
    if (answer.size() > lmp_.MaxData()) {
        const auto refusal = IasAnswerBytes(data[0], kIasUnsupported, 0, {});
        lmp_.Send(conn, refusal.data(), refusal.size(), now);
        return;
    }
    lmp_.Send(conn, answer.data(), answer.size(), now);
}

IasClient::IasClient(Irlmp& lmp) : lmp_(lmp) {}

IasClient::~IasClient() {
    if (conn_ >= 0) lmp_.Disconnect(conn_, kLmUserRequest, 0);
}

bool IasClient::Query(std::uint32_t peer, const std::string& class_name, const std::string& attribute, Done done,
                      Micros now) {
    if (conn_ >= 0) return false;
    request_ = IasRequestBytes(class_name, attribute);
    done_ = std::move(done);
    conn_ = lmp_.Connect(peer, kIasLsap, this, {}, now);
    if (conn_ < 0) {
        done_ = nullptr;
        return false;
    }
    deadline_ = now + kWatchdogMicros;
    return true;
}

void IasClient::Cancel(Micros now) {
    if (conn_ >= 0) lmp_.Disconnect(conn_, kLmUserRequest, now);
    conn_ = -1;
    deadline_ = 0;
    done_ = nullptr;
}

void IasClient::Finish(const IasAnswer* answer, Micros now) {
    if (conn_ >= 0 && lmp_.IsOpen(conn_)) lmp_.Disconnect(conn_, kLmUserRequest, now);
    conn_ = -1;
    deadline_ = 0;
    auto done = std::move(done_);
    done_ = nullptr;
    if (done) done(answer, now);
}

void IasClient::OnTimer(Micros now) {
    if (deadline_ && deadline_ <= now) Finish(nullptr, now);
}

void IasClient::OnLmConnectConfirm(int conn, const std::uint8_t*, std::size_t, Micros now) {
    if (conn != conn_) return;
    lmp_.Send(conn_, request_.data(), request_.size(), now);
}

void IasClient::OnLmData(int conn, const std::uint8_t* data, std::size_t length, Micros now) {
    if (conn != conn_) return;
    IasAnswer answer;
    // Only single-frame answers are taken; a first frame of a longer one is read the same way.
    if (!ParseIasAnswer(data, length, &answer) || answer.opcode != kIasGetValueByClass) {
        Finish(nullptr, now);
        return;
    }
    Finish(&answer, now);
}

void IasClient::OnLmDisconnect(int conn, int, Micros now) {
    if (conn != conn_) return;
    conn_ = -1;
    Finish(nullptr, now);
}

}  // namespace sorvanto::irda
