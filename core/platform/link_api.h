#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sorvanto {

class LinkSettings;

// Socket and event handles of a link. -1 is "none", as the sessions expect.
using LinkSocket = int;
using LinkEvent = int;
constexpr LinkSocket kNoSocket = -1;
constexpr LinkEvent kNoEvent = -1;

// Network event bits, with the values the sessions select and test.
constexpr std::uint32_t kFdRead = 0x01;
constexpr std::uint32_t kFdWrite = 0x02;
constexpr std::uint32_t kFdOob = 0x04;
constexpr std::uint32_t kFdAccept = 0x08;
constexpr std::uint32_t kFdConnect = 0x10;
constexpr std::uint32_t kFdClose = 0x20;

// Index into NetworkEvents::error for each event bit.
constexpr int kFdReadBit = 0;
constexpr int kFdAcceptBit = 3;
constexpr int kFdConnectBit = 4;
constexpr int kFdCloseBit = 5;

// Error codes a link reports in NetworkEvents::error.
constexpr int kLinkErrRefused = 10061;
constexpr int kLinkErrTimedOut = 10060;
constexpr int kLinkErrReset = 10054;

// The events recorded for one socket since the last query, and one error code per event bit.
struct NetworkEvents {
    std::uint32_t mask = 0;
    std::int32_t error[10] = {};
};

// The device-discovery result, byte for byte as the IrDA link layer lays it out: a 32-bit
// little-endian count, then entries of 29 bytes (4-byte address, 22-byte zero-padded name,
// two hint bytes, one character-set byte), room for 10 entries.
constexpr std::size_t kDeviceListSize = 297;
constexpr std::size_t kDeviceEntrySize = 29;
constexpr std::size_t kDeviceNameSize = 22;
constexpr int kMaxDevices = 10;
using DeviceList = std::array<std::uint8_t, kDeviceListSize>;

// Count of a device list (0 for a count the list cannot hold).
int DeviceCount(const DeviceList& list);
void SetDeviceCount(DeviceList& list, int count);
// Entry index of the list; false when index is outside the counted entries.
bool DeviceAddress(const DeviceList& list, int index, std::uint8_t address[4]);
std::string DeviceName(const DeviceList& list, int index);
// The entry's two hint bytes, first byte first; false outside the counted entries.
bool DeviceHints(const DeviceList& list, int index, std::uint8_t hints[2]);
// Appends an entry (name cut to 21 bytes); false when the list is full.
bool AddDevice(DeviceList& list, const std::uint8_t address[4], const std::string& name);

// The socket operations the IR sessions need, shaped like the IrDA socket interface they were
// written against: one stream service "OBEX", device enumeration into the device list, and
// event selection on an event object that a wait can block on.
//
// Event semantics (what the sessions rely on): after SelectEvents the link records, per
// socket, each selected event when its condition arises: kFdAccept when a connection waits,
// kFdConnect once when an outgoing connect completes (error code 0) or fails, kFdRead when
// data can be read, kFdClose once when the peer has closed. Recording an event signals the
// socket's event object. kFdRead is armed again by Recv and kFdAccept by Accept, so a
// condition that stays true is reported once per re-arming call, not on every wait.
// QueryEvents returns and clears a socket's recorded events and resets the event object.
//
// A link may be used from two threads (the server worker and Stop on the user-interface
// thread); implementations lock their own state.
class LinkApi {
public:
    virtual ~LinkApi() = default;

    // Starts the transport; false when it cannot be used at all.
    virtual bool Startup() = 0;
    virtual LinkEvent CreateEvent() = 0;
    virtual void CloseEvent(LinkEvent event) = 0;

    // A new stream socket, or kNoSocket.
    virtual LinkSocket CreateSocket() = 0;
    // Binds the socket to the local service "OBEX".
    virtual bool Bind(LinkSocket s) = 0;
    virtual bool Listen(LinkSocket s, int backlog) = 0;
    // A connection waiting on a listening socket, or kNoSocket when there is none.
    virtual LinkSocket Accept(LinkSocket s) = 0;
    // Starts a connect to the "OBEX" service of the device with that address (as found by the
    // last EnumerateDevices). Completion is reported through kFdConnect; the result only says
    // whether the attempt could be started.
    virtual bool Connect(LinkSocket s, const std::uint8_t address[4]) = 0;
    // Fills list with the devices in range; false when discovery itself failed.
    virtual bool EnumerateDevices(LinkSocket s, DeviceList& list) = 0;
    virtual bool SetTimeouts(LinkSocket s, int send_ms, int recv_ms) = 0;

    // Selects the events in mask for s on event (mask 0 switches them off).
    virtual bool SelectEvents(LinkSocket s, LinkEvent event, std::uint32_t mask) = 0;
    // Waits up to timeout_ms for the event object; true when it is signalled.
    virtual bool WaitForEvent(LinkEvent event, int timeout_ms) = 0;
    virtual bool QueryEvents(LinkSocket s, LinkEvent event, NetworkEvents* out) = 0;

    // Bytes sent, or -1.
    virtual int Send(LinkSocket s, const std::uint8_t* data, int length) = 0;
    // Bytes read (at most length); 0 when the peer has closed; -1 on failure or when no data
    // is there yet (the socket never blocks once events are selected).
    virtual int Recv(LinkSocket s, std::uint8_t* data, int length) = 0;
    virtual void Shutdown(LinkSocket s) = 0;
    virtual void Close(LinkSocket s) = 0;

    // Whether hosts other than this PC can reach the listening service. An IrDA peer must be
    // within a metre and a loopback listener is local; anything else is a network.
    virtual bool ReachableFromNetwork() const { return false; }
    // Where a connected socket's peer is, for the log ("192.0.2.7:40312"); empty when unknown.
    virtual std::string PeerAddress(LinkSocket) const { return {}; }
};

// The link that the settings name ("Transport"); nullptr for a transport this build does not
// have, or whose adapter cannot be opened, so that every session on it fails cleanly. (Made
// above the infrared stack, in the irlink module, since "sir" is the stack over a serial port.)
std::unique_ptr<LinkApi> MakeLink(const LinkSettings& settings);
// The same; when the link's serial port or capture file cannot be opened, *error_line is the
// one line for the user naming it and the reason (left alone otherwise).
std::unique_ptr<LinkApi> MakeLink(const LinkSettings& settings, std::string* error_line);
// The same from ".\Sorvanto.ini".
std::unique_ptr<LinkApi> MakeConfiguredLink();

}  // namespace sorvanto
