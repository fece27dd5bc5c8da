#include "platform/link_event_table.h"

#include <cstring>

namespace sorvanto {

LinkEvent LinkEventTable::Create() {
    const LinkEvent e = next_event_++;
    signalled_[e] = false;
    return e;
}

void LinkEventTable::Close(LinkEvent event) { signalled_.erase(event); }

bool LinkEventTable::Exists(LinkEvent event) const { return signalled_.count(event) != 0; }

bool LinkEventTable::IsSignalled(LinkEvent event) const {
    auto ev = signalled_.find(event);
    return ev != signalled_.end() && ev->second;
}

void LinkEventTable::Record(SocketEventState& s, std::uint32_t bit, int bit_index, int error) {
    if (!(s.selected & bit)) return;
    s.recorded |= bit;
    s.errors[bit_index] = error;
    s.armed &= ~bit;
    auto ev = signalled_.find(s.event);
    if (ev != signalled_.end()) ev->second = true;
}

void LinkEventTable::Query(SocketEventState& s, LinkEvent event, NetworkEvents& out) {
    out.mask = s.recorded;
    std::memcpy(out.error, s.errors, sizeof out.error);
    s.recorded = 0;
    std::memset(s.errors, 0, sizeof s.errors);
    auto ev = signalled_.find(event);
    if (ev != signalled_.end()) ev->second = false;
}

}  // namespace sorvanto
