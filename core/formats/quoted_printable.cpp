#include "formats/quoted_printable.h"

namespace sorvanto {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int HexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

// The memory sink of the codecs: holds at most capacity - 1 bytes, like a NUL-terminated
// buffer of that size, and drops the rest without a word.
class BoundedSink : public ByteSink {
public:
    explicit BoundedSink(std::size_t capacity) : limit_(capacity > 0 ? capacity - 1 : 0) {}
    bool Write(std::string_view bytes) override {
        const std::size_t room = limit_ > text_.size() ? limit_ - text_.size() : 0;
        text_.append(bytes.substr(0, room));
        return bytes.size() <= room;
    }
    std::string Take() { return std::move(text_); }

private:
    std::size_t limit_;
    std::string text_;
};

// A source that lets the decoder look one byte ahead.
class Peeker {
public:
    explicit Peeker(ByteSource& source) : source_(source) {}
    int Next() {
        if (ahead_ != kNone) {
            const int c = ahead_;
            ahead_ = kNone;
            return c;
        }
        return source_.Next();
    }
    int Peek() {
        if (ahead_ == kNone) ahead_ = source_.Next();
        return ahead_;
    }

private:
    static constexpr int kNone = -2;
    ByteSource& source_;
    int ahead_ = kNone;
};

}  // namespace

void QuotedPrintableCodec::Encode(ByteSource& source, ByteSink& sink, bool crlf) {
    const std::string_view soft_break = crlf ? "=\r\n" : "=\n";
    std::string out;
    int line = 0;
    for (int c = source.Next(); c != ByteSource::kEnd; c = source.Next()) {
        const bool plain = (c >= 33 && c <= 60) || (c >= 62 && c <= 126);
        const int k = plain ? 1 : 3;
        if (line + k > kMaxLine) {
            out.append(soft_break);
            line = 0;
        }
        if (plain) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('=');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
        line += k;
        if (out.size() >= 16 * 1024) {
            if (!sink.Write(out)) return;
            out.clear();
        }
    }
    sink.Write(out);
}

QuotedPrintableCodec::DecodeStats QuotedPrintableCodec::Decode(ByteSource& source, ByteSink& sink) {
    DecodeStats stats;
    Peeker in(source);
    std::string out;
    for (int c = in.Next(); c != ByteSource::kEnd; c = in.Next()) {
        if (IsLineEnd(c)) {
            out.push_back('\n');
        } else if (c != '=') {
            out.push_back(static_cast<char>(c));
        } else if (IsLineEnd(in.Peek())) {
            // A soft break: swallow its line end, and the other half of a CR LF or LF CR.
            const int first = in.Next();
            const int second = in.Peek();
            if (IsLineEnd(second) && second != first) in.Next();
        } else {
            const int hi = HexValue(in.Next());
            const int c2 = in.Next();
            const int lo = c2 == ByteSource::kEnd ? -1 : HexValue(c2);
            if (hi < 0 || lo < 0) {
                // A bad escape is dropped whole; "=" at the very end (or "=4") leaves nothing.
                ++stats.errors;
            } else {
                out.push_back(static_cast<char>(hi * 16 + lo));
            }
            if (c2 == ByteSource::kEnd) break;
        }
        if (out.size() >= 16 * 1024) {
            stats.bytes += out.size();
            if (!sink.Write(out)) return stats;
            out.clear();
        }
    }
    stats.bytes += out.size();
    sink.Write(out);
    return stats;
}

int QuotedPrintableCodec::EncodeFile(std::string_view source_path, std::string_view target_path,
                                     int mode) {
    FileByteSource source(source_path, FileByteSource::Mode::kBinary);
    if (!source.IsOpen()) return 0;
    FileSink sink(target_path, mode != 1);
    if (!sink.IsOpen()) return 0;
    Encode(source, sink, true);
    return sink.Close() ? 1 : 0;
}

int QuotedPrintableCodec::DecodeFile(std::string_view source_path, std::string_view target_path) {
    FileByteSource source(source_path, FileByteSource::Mode::kText);
    if (!source.IsOpen()) return 0;
    FileSink sink(target_path, false);
    if (!sink.IsOpen()) return 0;
    Decode(source, sink);
    return sink.Close() ? 1 : 0;
}

std::string QuotedPrintableCodec::EncodeMemory(std::string_view data, std::size_t capacity,
                                               bool crlf) {
    MemoryByteSource source(data);
    BoundedSink sink(capacity);
    Encode(source, sink, crlf);
    return sink.Take();
}

std::string QuotedPrintableCodec::DecodeMemory(std::string_view data, std::size_t capacity,
                                               bool /*crlf*/, int* errors) {
    MemoryByteSource source(data);
    BoundedSink sink(capacity);
    const DecodeStats stats = Decode(source, sink);
    if (errors) *errors = stats.errors;
    return sink.Take();
}

}  // namespace sorvanto
