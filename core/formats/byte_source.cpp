#include "formats/byte_source.h"

#include "platform/fs.h"

namespace sorvanto {

namespace {
constexpr std::size_t kChunk = 64 * 1024;
}

int MemoryByteSource::Next() {
    if (pos_ >= data_.size()) return kEnd;
    return static_cast<unsigned char>(data_[pos_++]);
}

FileByteSource::FileByteSource(std::string_view stored_path, Mode mode) {
    if (mode == Mode::kText) {
        text_.Open(stored_path);
    } else {
        file_ = fs::OpenFile(stored_path, "rb");
        owns_file_ = true;
    }
}

FileByteSource::FileByteSource(std::FILE* stream) : file_(stream) {}

FileByteSource::~FileByteSource() {
    if (owns_file_ && file_) std::fclose(file_);
}

bool FileByteSource::Refill() {
    buffer_.clear();
    pos_ = 0;
    if (text_.IsOpen()) {
        buffer_ = text_.Read(kChunk);
    } else if (file_) {
        buffer_.resize(kChunk);
        buffer_.resize(std::fread(buffer_.data(), 1, kChunk, file_));
    }
    return !buffer_.empty();
}

int FileByteSource::Next() {
    if (pos_ >= buffer_.size() && !Refill()) return kEnd;
    return static_cast<unsigned char>(buffer_[pos_++]);
}

bool StringSink::Write(std::string_view bytes) {
    out_.append(bytes);
    return true;
}

bool TextWriterSink::Write(std::string_view bytes) { return writer_.Write(bytes); }

FileSink::FileSink(std::string_view stored_path, bool append) {
    file_ = fs::OpenFile(stored_path, append ? "ab" : "wb");
}

FileSink::~FileSink() { Close(); }

bool FileSink::Write(std::string_view bytes) {
    if (!file_) return false;
    const bool all = std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    ok_ = ok_ && all;
    return all;
}

bool FileSink::Close() {
    if (!file_) return false;
    ok_ = std::fclose(file_) == 0 && ok_;
    file_ = nullptr;
    return ok_;
}

}  // namespace sorvanto
