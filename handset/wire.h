#pragma once

#include <memory>
#include <string>

#include "stream.h"

// Plain TCP and OBEX framing for the emulator. Sockets here block; reads take a time-out.
namespace handset {

struct Endpoint {
    std::string host = "127.0.0.1";
    int port = 0;
};

// "HOST:PORT" (or ":PORT"); false when the text is not one.
bool ParseEndpoint(const std::string& text, Endpoint* out);

// A connected socket, or nullptr (with the reason in error).
std::unique_ptr<Stream> ConnectTo(const Endpoint& to, std::string* error);
// A listening socket, or -1.
int ListenOn(const Endpoint& at, std::string* error);
std::unique_ptr<Stream> AcceptOne(int listener);
void CloseSocket(int fd);

bool WriteAll(Stream& stream, const std::string& bytes);
// One whole OBEX packet. 1: read; 0: the peer closed before a packet began; -1: failure,
// time-out (timeout_ms < 0 waits for ever) or a length that is no packet.
int ReadPacket(Stream& stream, int timeout_ms, std::string* packet);

// Packet helpers.
int PacketLength(const std::string& p);
std::string U16(int v);
std::string Hex2(unsigned v);

}  // namespace handset
