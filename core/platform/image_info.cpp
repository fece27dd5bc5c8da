#include "platform/image_info.h"

#include <cstdint>

#include "platform/fs.h"

namespace sorvanto {

namespace {

// Larger than any picture a handset or the preview deals with by far; it only keeps the
// header arithmetic of a lying file inside 64 bits.
constexpr std::int64_t kMaxSide = 1 << 16;

std::uint32_t U16le(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t U16be(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]);
}
std::uint32_t U32le(std::string_view b, std::size_t at) {
    return U16le(b, at) | U16le(b, at + 2) << 16;
}
std::int32_t I32le(std::string_view b, std::size_t at) { return static_cast<std::int32_t>(U32le(b, at)); }

std::optional<ImageInfo> Fail(ImageInfo::Error* error, std::string what, std::size_t offset) {
    if (error) *error = {std::move(what), offset};
    return std::nullopt;
}

std::optional<ImageInfo> Sized(ImageInfo::Format format, std::int64_t width, std::int64_t height,
                               ImageInfo::Error* error, std::size_t offset) {
    if (width <= 0 || height <= 0) return Fail(error, "zero or negative picture size", offset);
    if (width > kMaxSide || height > kMaxSide) return Fail(error, "picture size out of range", offset);
    ImageInfo info;
    info.width = static_cast<int>(width);
    info.height = static_cast<int>(height);
    info.format = format;
    return info;
}

std::optional<ImageInfo> ReadBmp(std::string_view b, ImageInfo::Error* error) {
    constexpr std::size_t kFileHeader = 14;
    if (b.size() < kFileHeader + 4) return Fail(error, "bitmap file header truncated", b.size());
    const std::uint32_t pixels_at = U32le(b, 10);
    const std::uint32_t header_size = U32le(b, kFileHeader);
    if (header_size != 12 && header_size < 16) return Fail(error, "unknown bitmap header size", kFileHeader);
    if (header_size > b.size() - kFileHeader) return Fail(error, "bitmap header runs past the end", kFileHeader);

    std::int64_t width, height;
    std::uint32_t bits, compression = 0, image_size = 0;
    if (header_size == 12) {  // OS/2 core header: 16-bit unsigned sizes, always bottom-up
        width = U16le(b, 18);
        height = U16le(b, 20);
        bits = U16le(b, 24);
    } else {
        width = I32le(b, 18);
        height = I32le(b, 22);
        if (height < 0) height = -height;  // top-down rows
        bits = U16le(b, 28);
        if (header_size >= 40) {
            compression = U32le(b, 30);
            image_size = U32le(b, 34);
        }
    }
    std::optional<ImageInfo> info = Sized(ImageInfo::kBmp, width, height, error, 18);
    if (!info) return info;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(error, "unsupported bits per pixel", header_size == 12 ? 24 : 28);

    // The pixel rows must be there: a file cut short is refused, not half shown.
    if (pixels_at < kFileHeader + header_size || pixels_at > b.size())
        return Fail(error, "pixel data offset outside the file", 10);
    std::int64_t needed;
    if (compression == 0 || compression == 3) {
        needed = (width * bits + 31) / 32 * 4 * height;
    } else {
        needed = image_size;  // compressed: the declared size, which must be present
        if (needed == 0) return Fail(error, "compressed bitmap without an image size", 34);
    }
    if (needed > static_cast<std::int64_t>(b.size() - pixels_at))
        return Fail(error, "pixel data runs past the end", b.size());
    return info;
}

bool IsSof(unsigned char m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

std::optional<ImageInfo> ReadJpeg(std::string_view b, ImageInfo::Error* error) {
    std::size_t at = 2;
    for (;;) {
        if (at >= b.size()) return Fail(error, "no frame header before the end", at);
        if (static_cast<unsigned char>(b[at]) != 0xFF) return Fail(error, "segment marker expected", at);
        while (at < b.size() && static_cast<unsigned char>(b[at]) == 0xFF) ++at;  // fill bytes
        if (at >= b.size()) return Fail(error, "marker truncated", at);
        const unsigned char marker = static_cast<unsigned char>(b[at]);
        const std::size_t segment = at - 1;
        ++at;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (marker == 0xD9 || marker == 0xDA) return Fail(error, "scan or end before any frame header", segment);
        if (at + 2 > b.size()) return Fail(error, "segment length truncated", at);
        const std::size_t length = U16be(b, at);
        if (length < 2) return Fail(error, "segment length below 2", at);
        if (length > b.size() - at) return Fail(error, "segment runs past the end", at);
        if (IsSof(marker)) {
            // length, precision, height, width, component count
            if (length < 8) return Fail(error, "frame header too short", at);
            return Sized(ImageInfo::kJpeg, U16be(b, at + 5), U16be(b, at + 3), error, at + 3);
        }
        at += length;
    }
}

std::optional<ImageInfo> ReadGif(std::string_view b, ImageInfo::Error* error) {
    constexpr std::size_t kScreen = 13;  // signature, version, logical screen descriptor
    if (b.size() < kScreen) return Fail(error, "logical screen descriptor truncated", b.size());
    if (b.substr(3, 3) != "87a" && b.substr(3, 3) != "89a") return Fail(error, "unknown GIF version", 3);
    std::optional<ImageInfo> info = Sized(ImageInfo::kGif, U16le(b, 6), U16le(b, 8), error, 6);
    if (!info) return info;
    const unsigned char flags = static_cast<unsigned char>(b[10]);
    std::size_t at = kScreen;
    if (flags & 0x80) at += 3u << ((flags & 7) + 1);
    // Walk the blocks up to the end of the first image, so that a file cut short is refused.
    // Each sub-block declares its own length; none is trusted past the end.
    auto skip_sub_blocks = [&]() {
        while (at < b.size()) {
            const std::size_t n = static_cast<unsigned char>(b[at]);
            ++at;
            if (n == 0) return true;
            if (n > b.size() - at) return false;
            at += n;
        }
        return false;
    };
    for (;;) {
        if (at >= b.size()) return Fail(error, "GIF truncated before its first image", b.size());
        const unsigned char block = static_cast<unsigned char>(b[at]);
        if (block == 0x21) {  // extension: label, then sub-blocks
            at += 2;
            if (at > b.size() || !skip_sub_blocks()) return Fail(error, "GIF extension truncated", at);
        } else if (block == 0x2C) {  // image descriptor, optional local table, LZW size, data
            if (b.size() - at < 11) return Fail(error, "GIF image descriptor truncated", at);
            const unsigned char local = static_cast<unsigned char>(b[at + 9]);
            at += 10;
            if (local & 0x80) at += 3u << ((local & 7) + 1);
            ++at;  // LZW minimum code size
            if (at > b.size() || !skip_sub_blocks()) return Fail(error, "GIF image data truncated", at);
            return info;
        } else {
            return Fail(error, "GIF has no image", at);
        }
    }
}

}  // namespace

std::optional<ImageInfo> ImageInfo::FromBytes(std::string_view bytes, Error* error) {
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "BM") return ReadBmp(bytes, error);
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF)
        return ReadJpeg(bytes, error);
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "GIF") return ReadGif(bytes, error);
    return Fail(error, "not a BMP, JPEG or GIF picture", 0);
}

std::optional<ImageInfo> ImageInfo::FromFile(std::string_view stored_path, Error* error) {
    const std::optional<std::string> bytes = fs::ReadFile(stored_path);
    if (!bytes) return Fail(error, "file cannot be read", 0);
    return FromBytes(*bytes, error);
}

}  // namespace sorvanto
