#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace sorvanto {

// Wrong passcode answers counted per peer host, so that a host guessing the four digits is
// shut out for a while instead of trying all ten thousand in a second. After `tries` wrong
// answers in a row a host is refused for `first_lock_ms`; a wrong answer after a lock has run
// out locks it again at once, each time for twice as long, up to `max_lock_ms`. A right answer
// clears the host's record. Hosts are told apart by address alone: the peer's port changes
// with every connection.
//
// Runs on the clock it is handed (milliseconds, any origin, never going back).
class AuthLockout {
public:
    struct Limits {
        int tries = 3;
        std::int64_t first_lock_ms = 60'000;
        std::int64_t max_lock_ms = 3'600'000;
    };
    using Clock = std::function<std::int64_t()>;
    // The limits of the settings: tries, the first lock in seconds; locks grow up to an hour,
    // or stay at the first one when that is longer.
    static Limits FromSettings(int tries, int lock_seconds);

    // Hosts remembered at most; the oldest record that is not locked makes room for a new one.
    static constexpr std::size_t kMaxHosts = 4096;

    AuthLockout(Limits limits, Clock clock);

    void SetLimits(Limits limits);
    // Milliseconds the host of peer ("ip:port" or a bare host) is still refused; 0 when it may
    // try.
    std::int64_t LockedFor(std::string_view peer) const;
    // A wrong answer from peer; the length of the lock it starts, or 0 when it starts none.
    std::int64_t Failed(std::string_view peer);
    void Succeeded(std::string_view peer);

    // The host part of "ip:port" ("[v6]:port" too); a text without a port is a host already.
    static std::string HostOf(std::string_view peer);

private:
    struct Record {
        int failures = 0;             // wrong answers since the last lock (or ever)
        int locks = 0;                // locks so far: the next one lasts first << locks
        std::int64_t locked_until = 0;
        std::int64_t last_seen = 0;
    };
    void MakeRoom(std::int64_t now);

    Limits limits_;
    Clock clock_;
    std::map<std::string, Record, std::less<>> hosts_;
};

}  // namespace sorvanto
