#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sorvanto {

// Header chunks of an MLD file, in the order the information lines show them.
enum class MldChunkId { kTitle, kSource, kVersion, kDate, kCopyright, kProtection, kNote, kExtension, kSupport };
constexpr std::size_t kMldChunkKinds = 9;

// A chunk found in the file image: where its identifier starts and how many content bytes
// follow its length field (always within the image).
struct MldChunk {
    std::size_t offset = 0;
    std::uint16_t length_field = 0;  // the length as the file declares it
    std::size_t content_offset = 0;
    std::size_t content_length = 0;
};

// One "trac" chunk: its events lie at [events_offset, events_offset + length) of the image.
struct MldTrack {
    std::size_t offset = 0;  // the chunk's identifier in the image (= its offset in the file)
    std::size_t events_offset = 0;
    std::size_t length = 0;           // event bytes available, never past the image
    std::uint32_t declared_length = 0;
};

// A loaded MLD melody: the first 12000 bytes of the file and the positions of its chunks.
// Every length the file declares is checked against the bytes read: a header chunk that runs
// past them ends the walk without being taken, and a track that runs past them keeps only the
// event bytes that were read.
class MldData {
public:
    static constexpr std::size_t kMaxImage = 12000;
    static constexpr std::size_t kMaxTracks = 16;
    static constexpr std::size_t kHeaderSize = 13;

    // Reads up to 12000 bytes of the file and walks its chunks; returns the bytes read, 0 when
    // the file cannot be opened or is no MLD file (nothing is loaded then).
    int Load(std::string_view stored_path);
    // The same on bytes already in memory (only the first 12000 are used).
    int Parse(std::string_view bytes);
    void Clear();

    // Writes the first data length + 8 bytes of the image (atomically). Returns the bytes
    // written; 0 when nothing is loaded, the data length is 0, the image holds fewer bytes
    // than that (a truncated file is not "repaired" into a shorter one) or the file cannot be
    // written.
    int Save(std::string_view stored_path) const;

    int BytesRead() const { return static_cast<int>(image_.size()); }
    bool HasHeader() const { return !image_.empty(); }
    const std::string& Image() const { return image_; }

    // Header fields (0 when nothing is loaded).
    std::uint32_t DataLength() const;
    std::uint16_t HeaderLength() const;
    std::uint8_t TypeMajor() const;
    std::uint8_t TypeMinor() const;
    std::uint8_t HeaderTrackCount() const;

    const std::optional<MldChunk>& Chunk(MldChunkId id) const { return chunks_[static_cast<std::size_t>(id)]; }
    // The chunk's content as shown: up to the first NUL and at most 259 bytes, never splitting
    // a double-byte character. Empty when the chunk is absent.
    std::string ChunkText(MldChunkId id) const;
    // The 16-bit value of the "note" and "exst" chunks, and the byte of "sorc".
    std::optional<std::uint16_t> ChunkValue16(MldChunkId id) const;
    std::optional<std::uint8_t> SourceByte() const;

    int TrackCount() const { return static_cast<int>(track_count_); }
    const MldTrack& Track(int index) const { return tracks_[static_cast<std::size_t>(index)]; }
    std::string_view TrackEvents(int index) const;

private:
    void Walk();
    std::uint8_t Byte(std::size_t at) const { return static_cast<std::uint8_t>(image_[at]); }

    std::string image_;
    std::array<std::optional<MldChunk>, kMldChunkKinds> chunks_{};
    std::array<MldTrack, kMaxTracks> tracks_{};
    std::size_t track_count_ = 0;
};

}  // namespace sorvanto
