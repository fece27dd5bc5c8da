#pragma once

#include <cstdint>
#include <map>

#include "platform/link_api.h"

namespace sorvanto {

// What a link keeps per socket for the event semantics of LinkApi.
struct SocketEventState {
    LinkEvent event = kNoEvent;
    std::uint32_t selected = 0;
    std::uint32_t armed = kFdRead | kFdAccept | kFdConnect | kFdClose;
    std::uint32_t recorded = 0;
    std::int32_t errors[10] = {};
};

// The event objects of a link and the recording of socket events on them, shared by the link
// implementations. Not locked: each link calls it under its own lock.
class LinkEventTable {
public:
    LinkEvent Create();
    void Close(LinkEvent event);
    bool Exists(LinkEvent event) const;
    // False for an event that does not exist.
    bool IsSignalled(LinkEvent event) const;

    // Records an event the socket selected (whether it is armed is the link's business),
    // disarms it and signals the socket's event object.
    void Record(SocketEventState& s, std::uint32_t bit, int bit_index, int error);
    // The QueryEvents step: hands out and clears the socket's recorded events and resets event.
    void Query(SocketEventState& s, LinkEvent event, NetworkEvents& out);

private:
    std::map<LinkEvent, bool> signalled_;
    LinkEvent next_event_ = 1;
};

}  // namespace sorvanto
