#include "formats/base64.h"

#include <array>

namespace sorvanto::base64 {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kStop = -1;

constexpr std::array<int, 256> MakeDecodeTable() {
    std::array<int, 256> table{};
    for (int i = 0; i < 256; ++i) table[i] = i >= 128 ? 0 : kStop;
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = i;
    return table;
}
constexpr std::array<int, 256> kDecode = MakeDecodeTable();

// The next sextet, skipping CR and LF; kStop at the end or at a byte outside the alphabet.
int NextSextet(ByteSource& source) {
    for (;;) {
        const int c = source.Next();
        if (c == ByteSource::kEnd) return kStop;
        if (c == '\r' || c == '\n') continue;
        return kDecode[static_cast<unsigned char>(c)];
    }
}

// One decode run; `stopped` tells whether the input ended (rather than the capacity).
std::string DecodeRun(ByteSource& source, std::size_t capacity, bool& stopped) {
    std::string out;
    stopped = true;
    while (out.size() < capacity) {
        const int s1 = NextSextet(source);
        if (s1 == kStop) return out;
        const int s2 = NextSextet(source);
        if (s2 == kStop) return out;
        out.push_back(static_cast<char>((s1 << 2) | ((s2 >> 4) & 3)));
        const int s3 = NextSextet(source);
        if (s3 == kStop) return out;
        out.push_back(static_cast<char>((s2 << 4) | ((s3 >> 2) & 15)));
        const int s4 = NextSextet(source);
        if (s4 == kStop) return out;
        out.push_back(static_cast<char>((s3 << 6) | s4));
    }
    stopped = false;
    return out;
}

}  // namespace

std::string Encode(ByteSource& source, std::size_t capacity) {
    std::string out;
    while (out.size() + 2 < capacity) {
        const int b1 = source.Next();
        if (b1 == ByteSource::kEnd) break;
        int pads = 0;
        int b2 = source.Next();
        int b3 = 0;
        if (b2 == ByteSource::kEnd) {
            b2 = 0;
            pads = 2;
        } else {
            b3 = source.Next();
            if (b3 == ByteSource::kEnd) {
                b3 = 0;
                pads = 1;
            }
        }
        out.push_back(kAlphabet[b1 >> 2]);
        out.push_back(kAlphabet[((b1 & 3) << 4) | (b2 >> 4)]);
        out.push_back(pads == 2 ? '=' : kAlphabet[((b2 & 15) << 2) | (b3 >> 6)]);
        out.push_back(pads > 0 ? '=' : kAlphabet[b3 & 63]);
        if (pads > 0) break;
    }
    return out;
}

std::string Encode(std::string_view data, std::size_t capacity) {
    MemoryByteSource source(data);
    return Encode(source, capacity);
}

std::size_t EncodeTo(ByteSource& source, ByteSink& sink, int line_width) {
    const std::string text = Encode(source, kFileCapacity);
    if (line_width <= 0) return sink.Write(text) ? text.size() : 0;
    const auto width = static_cast<std::size_t>(line_width);
    std::string lines;
    lines.reserve(text.size() + text.size() / width + 1);
    for (std::size_t at = 0; at < text.size(); at += width) {
        lines.append(text, at, width);
        lines.push_back('\n');
    }
    return sink.Write(lines) ? text.size() : 0;
}

std::string Decode(ByteSource& source, std::size_t capacity) {
    bool stopped = false;
    return DecodeRun(source, capacity, stopped);
}

std::string Decode(std::string_view text, std::size_t capacity) {
    MemoryByteSource source(text);
    return Decode(source, capacity);
}

std::size_t DecodeTo(ByteSource& source, ByteSink& sink) {
    std::size_t written = 0;
    for (;;) {
        bool stopped = false;
        const std::string chunk = DecodeRun(source, kFileCapacity, stopped);
        // A chunk cut by the capacity always ends on a whole group, so the next chunk carries
        // on where it left off. One that ended at a stop byte is the last: the stop byte is
        // gone, and decoding past it would give bytes a single decode never yields.
        if (!chunk.empty() && !sink.Write(chunk)) break;
        written += chunk.size();
        if (stopped) break;
    }
    return written;
}

}  // namespace sorvanto::base64
