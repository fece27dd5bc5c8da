#include "platform/text_file.h"

#include <algorithm>

#include "platform/fs.h"

namespace sorvanto {

TextReader::~TextReader() { Close(); }

bool TextReader::Open(std::string_view stored_path) {
    Close();
    file_ = fs::OpenFile(stored_path, "rb");
    return file_ != nullptr;
}

void TextReader::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    pending_ = -1;
}

int TextReader::Get() {
    if (!file_) return EOF;
    int c;
    if (pending_ >= 0) {
        c = pending_;
        pending_ = -1;
    } else {
        c = std::fgetc(file_);
    }
    if (c == '\r') {
        const int next = std::fgetc(file_);
        if (next == '\n') return '\n';
        if (next != EOF) pending_ = next;
    }
    return c;
}

bool TextReader::ReadLine(std::string& line, std::size_t buffer_size) {
    line.clear();
    if (buffer_size < 2) return false;
    while (line.size() < buffer_size - 1) {
        const int c = Get();
        if (c == EOF) break;
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
    // The byte looked at after a lone CR has been taken from the file already.
    if (pending_ >= 0) {
        out.push_back(static_cast<char>(pending_));
        pending_ = -1;
    }
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
