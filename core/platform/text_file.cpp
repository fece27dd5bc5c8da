#include "platform/text_file.h"

#include <algorithm>
#include <cstring>

#include "platform/fs.h"

namespace sorvanto {

TextReader::~TextReader() { Close(); }

bool TextReader::Open(std::string_view stored_path) {
    Close();
    file_ = fs::OpenFile(stored_path, "rb");
    if (!file_) return false;
    std::setvbuf(file_, nullptr, _IONBF, 0);  // the blocks are the buffer
    if (!block_) block_ = std::make_unique<char[]>(kBlock);
    return true;
}

void TextReader::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    pos_ = end_ = 0;
}

bool TextReader::Fill() {
    if (!file_) return false;
    pos_ = 0;
    end_ = std::fread(block_.get(), 1, kBlock, file_);
    return end_ > 0;
}

int TextReader::Get() {
    if (pos_ == end_ && !Fill()) return EOF;
    const char c = block_[pos_++];
    // CR LF arrives as LF; the byte after a lone CR stays unread for the next call.
    if (c == '\r' && (pos_ < end_ || Fill()) && block_[pos_] == '\n') {
        ++pos_;
        return '\n';
    }
    return static_cast<unsigned char>(c);
}

bool TextReader::ReadLine(std::string& line, std::size_t buffer_size) {
    line.clear();
    if (buffer_size < 2) return false;
    const std::size_t limit = buffer_size - 1;
    while (line.size() < limit) {
        if (pos_ == end_ && !Fill()) break;
        // The bytes up to the next CR or LF need no translation.
        const char* from = block_.get() + pos_;
        const std::size_t room = std::min(end_ - pos_, limit - line.size());
        std::size_t plain = room;
        if (const void* lf = std::memchr(from, '\n', room)) plain = static_cast<std::size_t>(static_cast<const char*>(lf) - from);
        if (const void* cr = std::memchr(from, '\r', plain)) plain = static_cast<std::size_t>(static_cast<const char*>(cr) - from);
        line.append(from, plain);
        pos_ += plain;
        if (plain == room) continue;
        const int c = Get();
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !line.empty();
}

std::string TextReader::Read(std::size_t max_bytes) {
    std::string out;
    while (out.size() < max_bytes) {
        const int c = Get();
        if (c == EOF) break;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

std::string TextReader::ReadRaw(std::size_t max_bytes) {
    std::string out;
    if (!file_ || max_bytes == 0) return out;
    // What the blocks hold beyond the reading point has been taken from the file already.
    const std::size_t held = std::min(end_ - pos_, max_bytes);
    out.append(block_.get() + pos_, held);
    pos_ += held;
    char chunk[4096];
    while (out.size() < max_bytes) {
        const std::size_t want = std::min(sizeof chunk, max_bytes - out.size());
        const std::size_t got = std::fread(chunk, 1, want, file_);
        out.append(chunk, got);
        if (got < want) break;
    }
    return out;
}

TextWriter::~TextWriter() { Close(); }

bool TextWriter::Open(std::string_view stored_path, bool append) {
    Close();
    ok_ = true;
    file_ = fs::OpenFile(stored_path, append ? "ab" : "wb");
    return file_ != nullptr;
}

bool TextWriter::Write(std::string_view text) {
    if (!file_) return false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') continue;
        ok_ = std::fwrite(text.data() + start, 1, i - start, file_) == i - start && ok_;
        ok_ = std::fwrite("\r\n", 1, 2, file_) == 2 && ok_;
        start = i + 1;
    }
    ok_ = std::fwrite(text.data() + start, 1, text.size() - start, file_) == text.size() - start && ok_;
    return ok_;
}

bool TextWriter::Close() {
    if (!file_) return ok_;
    ok_ = (std::fclose(file_) == 0) && ok_;
    file_ = nullptr;
    return ok_;
}

}  // namespace sorvanto
