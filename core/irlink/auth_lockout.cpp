#include "irlink/auth_lockout.h"

#include <algorithm>

namespace sorvanto {

AuthLockout::AuthLockout(Limits limits, Clock clock) : clock_(std::move(clock)) { SetLimits(limits); }

AuthLockout::Limits AuthLockout::FromSettings(int tries, int lock_seconds) {
    Limits limits;
    limits.tries = tries;
    limits.first_lock_ms = std::int64_t{lock_seconds} * 1000;
    limits.max_lock_ms = std::max<std::int64_t>(limits.max_lock_ms, limits.first_lock_ms);
    return limits;
}

void AuthLockout::SetLimits(Limits limits) {
    // Limits that would switch the guard off, or lock for no time, are not taken.
    limits.tries = std::max(limits.tries, 1);
    limits.first_lock_ms = std::max<std::int64_t>(limits.first_lock_ms, 1);
    limits.max_lock_ms = std::max(limits.max_lock_ms, limits.first_lock_ms);
    limits_ = limits;
}

std::string AuthLockout::HostOf(std::string_view peer) {
    if (!peer.empty() && peer.front() == '[') {
        const auto close = peer.find(']');
        return std::string(close == std::string_view::npos ? peer.substr(1) : peer.substr(1, close - 1));
    }
    const auto colon = peer.find(':');
    // No colon, or more than one (an IPv6 address without its port): all of it is the host.
    if (colon == std::string_view::npos || peer.find(':', colon + 1) != std::string_view::npos)
        return std::string(peer);
    return std::string(peer.substr(0, colon));
}

std::int64_t AuthLockout::LockedFor(std::string_view peer) const {
    const auto it = hosts_.find(HostOf(peer));
    if (it == hosts_.end()) return 0;
    return std::max<std::int64_t>(it->second.locked_until - clock_(), 0);
}

std::int64_t AuthLockout::Failed(std::string_view peer) {
    const std::int64_t now = clock_();
    std::string host = HostOf(peer);
    auto it = hosts_.find(host);
    if (it == hosts_.end()) {
        MakeRoom(now);
        it = hosts_.emplace(std::move(host), Record{}).first;
    }
    Record& r = it->second;
    // A host quiet for as long as the longest lock starts again with a clean record.
    if (now - std::max(r.last_seen, r.locked_until) >= limits_.max_lock_ms) r = Record{};
    r.last_seen = now;
    if (r.locked_until > now) return 0;  // a connection that was already in when the lock began
    ++r.failures;
    // After the first lock a single wrong answer is enough for the next one.
    if (r.failures < (r.locks == 0 ? limits_.tries : 1)) return 0;
    r.failures = 0;
    std::int64_t length = limits_.first_lock_ms;
    for (int i = 0; i < r.locks && length < limits_.max_lock_ms; ++i) length *= 2;
    length = std::min(length, limits_.max_lock_ms);
    ++r.locks;
    r.locked_until = now + length;
    return length;
}

void AuthLockout::Succeeded(std::string_view peer) {
    const auto it = hosts_.find(HostOf(peer));
    if (it != hosts_.end()) hosts_.erase(it);
}

void AuthLockout::MakeRoom(std::int64_t now) {
    if (hosts_.size() < kMaxHosts) return;
    auto oldest = hosts_.end();
    for (auto it = hosts_.begin(); it != hosts_.end(); ++it) {
        if (it->second.locked_until > now) continue;
        if (oldest == hosts_.end() || it->second.last_seen < oldest->second.last_seen) oldest = it;
    }
    // Every host locked: the one whose lock ends first goes, so that the table stays bounded.
    if (oldest == hosts_.end())
        oldest = std::min_element(hosts_.begin(), hosts_.end(), [](const auto& a, const auto& b) {
            return a.second.locked_until < b.second.locked_until;
        });
    hosts_.erase(oldest);
}

}  // namespace sorvanto
