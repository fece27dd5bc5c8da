#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/text_file.h"

namespace sorvanto {

// The input side of every codec: hands out one byte at a time until the end.
class ByteSource {
public:
    static constexpr int kEnd = -1;

    virtual ~ByteSource() = default;
    // The next byte (0..255), or kEnd.
    virtual int Next() = 0;
};

// Bytes 0..size-1 of a block of memory the caller keeps alive.
class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view data) : data_(data) {}
    int Next() override;
    // How many bytes have been handed out so far.
    std::size_t Position() const { return pos_; }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

// The bytes of a file, read untranslated ("rb") or as text (CR LF arrives as LF).
class FileByteSource : public ByteSource {
public:
    enum class Mode { kBinary, kText };

    FileByteSource(std::string_view stored_path, Mode mode);
    // Wraps a stream the caller opened and closes; read untranslated from where it stands.
    explicit FileByteSource(std::FILE* stream);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    bool IsOpen() const { return file_ != nullptr || text_.IsOpen(); }
    int Next() override;

private:
    bool Refill();

    std::FILE* file_ = nullptr;
    bool owns_file_ = false;
    TextReader text_;
    std::string buffer_;
    std::size_t pos_ = 0;
};

// The output side of the codecs that write to a stream.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when not every byte was taken (the stream is full or failed).
    virtual bool Write(std::string_view bytes) = 0;
};

// Appends to a string the caller owns; no limit.
class StringSink : public ByteSink {
public:
    explicit StringSink(std::string& out) : out_(out) {}
    bool Write(std::string_view bytes) override;

private:
    std::string& out_;
};

// Writes through a TextWriter, so every LF goes out as CR LF (the builders' text-mode files).
class TextWriterSink : public ByteSink {
public:
    explicit TextWriterSink(TextWriter& writer) : writer_(writer) {}
    bool Write(std::string_view bytes) override;

private:
    TextWriter& writer_;
};

// Writes bytes untranslated to a file: created ("wb") or appended to ("ab").
class FileSink : public ByteSink {
public:
    FileSink(std::string_view stored_path, bool append);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    bool Write(std::string_view bytes) override;
    // False when any write or the close failed.
    bool Close();

private:
    std::FILE* file_ = nullptr;
    bool ok_ = true;
};

}  // namespace sorvanto
