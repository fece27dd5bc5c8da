#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace sorvanto {

// The IrLAP frames of a link as a capture file Wireshark and tshark read: pcap, link type 144
// (IrDA), each record a 16-byte header (direction, protocol 0x0017) and the frame from its
// address byte on, without the FCS. Each record reaches the file as soon as it is written,
// so a program that is killed leaves a whole capture up to its last frame.
class PcapCapture {
public:
    static constexpr std::uint32_t kLinkTypeIrda = 144;
    static constexpr std::uint32_t kSnapLength = 65535;
    static constexpr std::size_t kPseudoHeaderSize = 16;

    PcapCapture() = default;
    ~PcapCapture();
    PcapCapture(const PcapCapture&) = delete;
    PcapCapture& operator=(const PcapCapture&) = delete;

    // Makes the file anew (an earlier capture of that name is replaced) and writes its header.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const;

    // One frame, stamped with the time of day; sent = this host sent it. Safe from two threads.
    bool Write(bool sent, const std::uint8_t* frame, std::size_t length);
    // The same with the record's time given (microseconds since 1970).
    bool WriteAt(bool sent, const std::uint8_t* frame, std::size_t length, std::int64_t unix_micros);

private:
    mutable std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

}  // namespace sorvanto
