#pragma once

#include <cstddef>
#include <string>

namespace handset {

// The bytes of one connection to the PC, whatever carries them (a TCP socket, or a TinyTP
// connection over the infrared stack).
class Stream {
public:
    virtual ~Stream() = default;
    // All bytes, or false.
    virtual bool Write(const std::string& bytes) = 0;
    // >0 bytes read, 0 when the peer has closed, -1 on failure or when timeout_ms passed
    // (timeout_ms < 0 waits for ever).
    virtual int Read(char* into, std::size_t n, int timeout_ms) = 0;
};

}  // namespace handset
