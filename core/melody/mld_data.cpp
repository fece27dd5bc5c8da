#include "melody/mld_data.h"

#include <algorithm>
#include <cstring>

#include "common/sjis.h"
#include "platform/fs.h"

namespace sorvanto {

namespace {

struct ChunkRule {
    const char* tag;
    MldChunkId id;
    std::size_t fixed_size;  // whole chunk size when the chunk ignores its length field, else 0
};

constexpr ChunkRule kRules[] = {
    {"titl", MldChunkId::kTitle, 0},     {"sorc", MldChunkId::kSource, 7},
    {"vers", MldChunkId::kVersion, 0},   {"date", MldChunkId::kDate, 14},
    {"copy", MldChunkId::kCopyright, 0}, {"prot", MldChunkId::kProtection, 0},
    {"note", MldChunkId::kNote, 8},      {"exst", MldChunkId::kExtension, 8},
    {"supt", MldChunkId::kSupport, 0},
};

// The dialog copies a field into a 260-byte buffer and shows it as a C string.
constexpr std::size_t kMaxShownText = 259;

}  // namespace

void MldData::Clear() {
    image_.clear();
    chunks_ = {};
    tracks_ = {};
    track_count_ = 0;
}

int MldData::Load(std::string_view stored_path) {
    Clear();
    auto bytes = fs::ReadFile(stored_path, kMaxImage);
    if (!bytes) return 0;
    return Parse(*bytes);
}

int MldData::Parse(std::string_view bytes) {
    Clear();
    bytes = bytes.substr(0, std::min(bytes.size(), kMaxImage));
    // Without the whole 13-byte header there is no track count to walk by.
    if (bytes.size() < kHeaderSize || bytes.substr(0, 4) != "melo") return 0;
    image_.assign(bytes);
    Walk();
    return BytesRead();
}

void MldData::Walk() {
    const std::size_t n = image_.size();
    const std::size_t wanted_tracks = HeaderTrackCount();
    std::size_t pos = kHeaderSize;
    while (pos + 4 <= n) {
        const std::string_view tag(image_.data() + pos, 4);
        if (tag == "trac") {
            if (pos + 8 > n) break;
            const std::uint32_t declared = (std::uint32_t{Byte(pos + 4)} << 24) | (std::uint32_t{Byte(pos + 5)} << 16) |
                                           (std::uint32_t{Byte(pos + 6)} << 8) | Byte(pos + 7);
            const std::size_t available = n - (pos + 8);
            MldTrack& t = tracks_[track_count_++];
            t.offset = pos;
            t.events_offset = pos + 8;
            t.declared_length = declared;
            t.length = std::min<std::size_t>(declared, available);
            // A header count of 0 is reached by the first track; more than 16 tracks are cut
            // to the 16 the table and the 64 slots hold.
            if (declared > available || track_count_ >= std::max<std::size_t>(wanted_tracks, 1) ||
                track_count_ == kMaxTracks)
                break;
            pos += 8 + declared;
            continue;
        }
        const ChunkRule* rule = nullptr;
        for (const ChunkRule& r : kRules)
            if (tag == r.tag) rule = &r;
        if (!rule || pos + 6 > n) break;
        const std::uint16_t length = static_cast<std::uint16_t>((Byte(pos + 4) << 8) | Byte(pos + 5));
        const std::size_t size = rule->fixed_size ? rule->fixed_size : 6 + std::size_t{length};
        if (pos + size > n) break;
        chunks_[static_cast<std::size_t>(rule->id)] = MldChunk{pos, length, pos + 6, size - 6};
        pos += size;
    }
}

int MldData::Save(std::string_view stored_path) const {
    if (!HasHeader()) return 0;
    const std::uint64_t total = std::uint64_t{DataLength()} + 8;
    if (DataLength() == 0 || total > image_.size()) return 0;
    const std::string_view out(image_.data(), static_cast<std::size_t>(total));
    return fs::WriteFileAtomic(stored_path, out) ? static_cast<int>(total) : 0;
}

std::uint32_t MldData::DataLength() const {
    if (!HasHeader()) return 0;
    return (std::uint32_t{Byte(4)} << 24) | (std::uint32_t{Byte(5)} << 16) | (std::uint32_t{Byte(6)} << 8) | Byte(7);
}

std::uint16_t MldData::HeaderLength() const {
    return HasHeader() ? static_cast<std::uint16_t>((Byte(8) << 8) | Byte(9)) : 0;
}
std::uint8_t MldData::TypeMajor() const { return HasHeader() ? Byte(10) : 0; }
std::uint8_t MldData::TypeMinor() const { return HasHeader() ? Byte(11) : 0; }
std::uint8_t MldData::HeaderTrackCount() const { return HasHeader() ? Byte(12) : 0; }

std::string MldData::ChunkText(MldChunkId id) const {
    const auto& c = Chunk(id);
    if (!c) return {};
    std::string_view text(image_.data() + c->content_offset, c->content_length);
    const auto nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    return sjis::CutBytes(text, kMaxShownText);
}

std::optional<std::uint16_t> MldData::ChunkValue16(MldChunkId id) const {
    const auto& c = Chunk(id);
    if (!c || c->content_length < 2) return std::nullopt;
    return static_cast<std::uint16_t>((Byte(c->content_offset) << 8) | Byte(c->content_offset + 1));
}

std::optional<std::uint8_t> MldData::SourceByte() const {
    const auto& c = Chunk(MldChunkId::kSource);
    if (!c || c->content_length < 1) return std::nullopt;
    return Byte(c->content_offset);
}

std::string_view MldData::TrackEvents(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= track_count_) return {};
    const MldTrack& t = tracks_[static_cast<std::size_t>(index)];
    return std::string_view(image_.data() + t.events_offset, t.length);
}

}  // namespace sorvanto
