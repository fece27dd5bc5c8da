#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "irda/irlap_service.h"

namespace sorvanto::irda::test {

// An IrLAP that records what IrLMP hands it; the test plays the link's events by hand.
class FakeLap : public IrlapService {
public:
    void DiscoveryRequest(int slots, Micros) override { discovery_slots = slots; }
    void ConnectRequest(std::uint32_t peer, Micros) override { connect_peer = peer, ++connects; }
    bool DataRequest(std::vector<std::uint8_t> i_field, Micros) override {
        if (sent.size() >= capacity) return false;
        sent.push_back(std::move(i_field));
        return true;
    }
    void DisconnectRequest(Micros) override { ++disconnects, connected = false; }
    bool Connected() const override { return connected; }
    std::size_t MaxIField() const override { return max_i_field; }
    std::size_t QueuedFrames() const override { return sent.size(); }
    std::uint32_t OwnAddress() const override { return 0x11223344; }

    // The oldest I field not yet taken by the test, or empty.
    std::vector<std::uint8_t> Take() {
        if (sent.empty()) return {};
        auto f = std::move(sent.front());
        sent.pop_front();
        return f;
    }

    std::deque<std::vector<std::uint8_t>> sent;
    std::size_t capacity = 1000;
    std::size_t max_i_field = 64;
    bool connected = false;
    std::uint32_t connect_peer = 0;
    int connects = 0;
    int disconnects = 0;
    int discovery_slots = 0;
};

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> list) {
    std::vector<std::uint8_t> v;
    for (int b : list) v.push_back(static_cast<std::uint8_t>(b));
    return v;
}

inline std::vector<std::uint8_t> Cat(std::vector<std::uint8_t> a, const std::string& s) {
    a.insert(a.end(), s.begin(), s.end());
    return a;
}

inline std::vector<std::uint8_t> Cat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace sorvanto::irda::test
