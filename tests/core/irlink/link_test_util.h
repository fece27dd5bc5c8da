#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

// Small helpers shared by the session tests.
namespace sorvanto::test {

inline std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

// An OBEX packet: code, 2-byte length, body.
inline std::string Packet(int code, const std::string& body) {
    const int n = static_cast<int>(body.size()) + 3;
    return Bytes({code, (n >> 8) & 0xFF, n & 0xFF}) + body;
}

// Waits up to limit for cond; its last value.
inline bool WaitFor(const std::function<bool()>& cond, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace sorvanto::test
