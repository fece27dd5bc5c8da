#include "platform/link/pcap_capture.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/fs.h"

namespace sorvanto {

namespace {

// pcap writes its fields in the writer's byte order and readers detect it from the magic;
// little-endian throughout keeps the file the same on every system.
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// Packet types of the pseudo-header, and the protocol readers insist on.
constexpr std::uint16_t kReceived = 0x0000;
constexpr std::uint16_t kSent = 0x0004;
constexpr std::uint16_t kProtocolIrda = 0x0017;

}  // namespace

PcapCapture::~PcapCapture() { Close(); }

bool PcapCapture::Open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (file_) std::fclose(file_);
    file_ = fs::OpenFile(path, "wb");
    if (!file_) return false;
    std::vector<std::uint8_t> header;
    Put32(header, 0xa1b2c3d4);
    Put16(header, 2);
    Put16(header, 4);
    Put32(header, 0);  // time zone: stamps are UTC
    Put32(header, 0);  // accuracy
    Put32(header, kSnapLength);
    Put32(header, kLinkTypeIrda);
    if (std::fwrite(header.data(), 1, header.size(), file_) != header.size() || std::fflush(file_) != 0) {
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

void PcapCapture::Close() {
    std::lock_guard lock(mutex_);
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool PcapCapture::IsOpen() const {
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

bool PcapCapture::Write(bool sent, const std::uint8_t* frame, std::size_t length) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return WriteAt(sent, frame, length, std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

bool PcapCapture::WriteAt(bool sent, const std::uint8_t* frame, std::size_t length, std::int64_t unix_micros) {
    if (!frame && length) return false;
    const std::size_t whole = kPseudoHeaderSize + length;
    const std::size_t kept = std::min<std::size_t>(whole, kSnapLength);
    if (unix_micros < 0) unix_micros = 0;
    std::vector<std::uint8_t> record;
    record.reserve(16 + kept);
    Put32(record, static_cast<std::uint32_t>(unix_micros / 1000000));
    Put32(record, static_cast<std::uint32_t>(unix_micros % 1000000));
    Put32(record, static_cast<std::uint32_t>(kept));
    Put32(record, static_cast<std::uint32_t>(std::min<std::size_t>(whole, 0xFFFFFFFFu)));
    // The pseudo-header is big-endian, unlike the file's own fields.
    const std::uint16_t type = sent ? kSent : kReceived;
    record.push_back(static_cast<std::uint8_t>(type >> 8));
    record.push_back(static_cast<std::uint8_t>(type));
    record.insert(record.end(), 12, 0);
    record.push_back(static_cast<std::uint8_t>(kProtocolIrda >> 8));
    record.push_back(static_cast<std::uint8_t>(kProtocolIrda));
    record.insert(record.end(), frame, frame + (kept - kPseudoHeaderSize));
    std::lock_guard lock(mutex_);
    if (!file_) return false;
    // One write and a flush per record: a record is in the file whole or not at all.
    return std::fwrite(record.data(), 1, record.size(), file_) == record.size() && std::fflush(file_) == 0;
}

}  // namespace sorvanto
