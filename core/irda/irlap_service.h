#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "irda/ir_clock.h"

namespace sorvanto::irda {

struct DiscoveredDevice {
    std::uint32_t address = 0;            // the peer's 32-bit device address
    std::vector<std::uint8_t> hints;      // hint bytes as received (first byte first)
    std::uint8_t charset = 0;
    std::string nickname;                 // at most 21 bytes
};

// Why a link went down (OnDisconnect's reason).
enum DisconnectReason : int {
    kDisconnectRequested = 1,   // we asked for it (DisconnectRequest)
    kDisconnectByPeer = 2,      // the peer sent DISC or DM
    kDisconnectLinkLost = 3,    // nothing heard for the link-disconnect time (N2)
    kDisconnectProtocol = 4,    // FRMR, a bad N(R) or a failed reset
};

// Calls up from IrLAP (the station) to its user (IrLMP).
class IrlapUser {
public:
    virtual ~IrlapUser() = default;
    virtual void OnDiscoveryDone(const std::vector<DiscoveredDevice>& devices, Micros now) = 0; // in the order they answered
    virtual void OnConnectIndication(std::uint32_t peer, Micros now) = 0;  // we are secondary, link is up
    virtual void OnConnectConfirm(std::uint32_t peer, Micros now) = 0;     // we are primary, link is up
    virtual void OnConnectFailed(Micros now) = 0;
    virtual void OnData(const std::uint8_t* i_field, std::size_t length, Micros now) = 0;  // one I field, in order, once
    virtual void OnDisconnect(int reason, Micros now) = 0;  // link gone (DISC, N2, reset failure ...)
    // Nothing heard from the peer for about 3 s; the link is kept until the disconnect time.
    virtual void OnLinkWarning(Micros /*now*/) {}
};

// Calls down from IrLMP to IrLAP.
class IrlapService {
public:
    virtual ~IrlapService() = default;
    virtual void DiscoveryRequest(int slots, Micros now) = 0;             // 1, 6, 8 or 16
    virtual void ConnectRequest(std::uint32_t peer, Micros now) = 0;      // as primary
    virtual bool DataRequest(std::vector<std::uint8_t> i_field, Micros now) = 0;  // false = queue full, try later
    virtual void DisconnectRequest(Micros now) = 0;
    virtual bool Connected() const = 0;
    virtual std::size_t MaxIField() const = 0;   // the negotiated data size the peer accepts
    virtual std::size_t QueuedFrames() const = 0; // I fields not yet acknowledged
    virtual std::uint32_t OwnAddress() const = 0;
};

}  // namespace sorvanto::irda
