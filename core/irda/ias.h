#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "irda/irlmp.h"

namespace sorvanto::irda {

// IAS operations (the low six bits of a request's first byte) and its flag bits.
constexpr std::uint8_t kIasLast = 0x80;
constexpr std::uint8_t kIasAck = 0x40;
constexpr std::uint8_t kIasOpMask = 0x3F;
constexpr std::uint8_t kIasGetValueByClass = 0x04;

// Return codes of an answer.
constexpr std::uint8_t kIasSuccess = 0x00;
constexpr std::uint8_t kIasNoSuchClass = 0x01;
constexpr std::uint8_t kIasNoSuchAttribute = 0x02;
constexpr std::uint8_t kIasUnsupported = 0xFF;

// The longest class or attribute name a request may carry.
constexpr std::size_t kIasMaxName = 60;
// Object id a Linux server names in its "no such class" answer; peers are used to it.
constexpr std::uint16_t kIasUnknownObjectId = 0x1235;

struct IasValue {
    enum Type : std::uint8_t { kMissing = 0, kInteger = 1, kOctets = 2, kString = 3 };
    Type type = kMissing;
    std::uint32_t integer = 0;
    std::vector<std::uint8_t> bytes;  // octet sequence or string
    std::uint8_t charset = 0;          // string only (0 = ASCII)

    static IasValue Integer(std::uint32_t v);
    static IasValue Octets(std::vector<std::uint8_t> v);
    static IasValue String(const std::string& s, std::uint8_t charset = 0);
};

struct IasRequest {
    std::uint8_t opcode = 0;
    bool last = false;
    std::string class_name;
    std::string attribute;
};

// A GetValueByClass request's names; false when a length runs past the frame or past
// kIasMaxName, or the operation is another one (opcode and last are still filled in then).
bool ParseIasRequest(const std::uint8_t* data, std::size_t length, IasRequest* out);
std::vector<std::uint8_t> IasRequestBytes(const std::string& class_name, const std::string& attribute);

// The first entry of an answer, as a Linux client reads it.
struct IasAnswer {
    std::uint8_t opcode = 0;
    std::uint8_t code = 0;
    std::uint16_t count = 0;
    std::uint16_t object_id = 0;
    IasValue value;
};
// False when the answer is cut short or a length runs past it (an answer with an error code
// and no list is complete without an entry).
bool ParseIasAnswer(const std::uint8_t* data, std::size_t length, IasAnswer* out);
std::vector<std::uint8_t> IasAnswerBytes(std::uint8_t opcode, std::uint8_t code, std::uint16_t object_id,
                                         const IasValue& value);

// The IAS server on LSAP 0: one answer per single-frame (LST) GetValueByClass request; other
// requests are answered "unsupported" and frames without LST are dropped.
class IasServer : public LsapUser {
public:
    explicit IasServer(Irlmp& lmp);
    ~IasServer() override;

    // Sets an attribute, creating its class object (with the next object id) when new.
    void Set(const std::string& class_name, const std::string& attribute, IasValue value);
    // The answer to one request frame (empty: none is owed).
    std::vector<std::uint8_t> Answer(const std::uint8_t* data, std::size_t length) const;

    bool OnLmConnectIndication(int conn, const std::uint8_t* data, std::size_t length,
                               std::vector<std::uint8_t>* confirm, Micros now) override;
    void OnLmConnectConfirm(int, const std::uint8_t*, std::size_t, Micros) override {}
    void OnLmData(int conn, const std::uint8_t* data, std::size_t length, Micros now) override;
    void OnLmDisconnect(int, int, Micros) override {}

private:
    struct Object {
        std::uint16_t id = 0;
        std::map<std::string, IasValue> attributes;
    };
    Irlmp& lmp_;
    std::map<std::string, Object> objects_;
    std::uint16_t next_id_ = 0;
};

// One GetValueByClass query to a device's IAS: LM connect to LSAP 0, the request, the first
// entry of the answer, LM disconnect. done gets the answer, or nullptr when the query failed
// (refused, link lost, no answer within kWatchdogMicros).
class IasClient : public LsapUser {
public:
    static constexpr Micros kWatchdogMicros = 10'000'000;
    using Done = std::function<void(const IasAnswer* answer, Micros now)>;

    explicit IasClient(Irlmp& lmp);
    ~IasClient() override;

    // False when a query is running or the LM connect could not be started.
    bool Query(std::uint32_t peer, const std::string& class_name, const std::string& attribute, Done done,
               Micros now);
    bool Busy() const { return conn_ >= 0; }
    void Cancel(Micros now);

    Micros NextDeadline() const { return deadline_; }
    void OnTimer(Micros now);

    bool OnLmConnectIndication(int, const std::uint8_t*, std::size_t, std::vector<std::uint8_t>*, Micros) override {
        return false;
    }
    void OnLmConnectConfirm(int conn, const std::uint8_t* data, std::size_t length, Micros now) override;
    void OnLmData(int conn, const std::uint8_t* data, std::size_t length, Micros now) override;
    void OnLmDisconnect(int conn, int reason, Micros now) override;

private:
    void Finish(const IasAnswer* answer, Micros now);

    Irlmp& lmp_;
    int conn_ = -1;
    std::vector<std::uint8_t> request_;
    Done done_;
    Micros deadline_ = 0;
};

}  // namespace sorvanto::irda
