#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace sorvanto {

// Reads a file as the Windows C runtime does in text mode: CR LF arrives as LF (a lone CR
// stays). Handsets send CR LF, and much of the importers' arithmetic holds only with this
// translation. Nothing else in the program opens files in text mode.
class TextReader {
public:
    TextReader() = default;
    explicit TextReader(std::string_view stored_path) { Open(stored_path); }
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool Open(std::string_view stored_path);
    bool IsOpen() const { return file_ != nullptr; }
    void Close();

    // Like fgets with a buffer of buffer_size bytes: at most buffer_size - 1 bytes, ending
    // after the first LF. A longer line arrives in several pieces. False at end of file with
    // nothing read.
    bool ReadLine(std::string& line, std::size_t buffer_size);
    // Like fread: up to max_bytes translated bytes.
    std::string Read(std::size_t max_bytes);
    // Up to max_bytes from where the reading stands, untranslated: for files whose head is
    // text lines and whose rest is kept byte for byte.
    std::string ReadRaw(std::size_t max_bytes);

private:
    int Get();  // next translated byte or EOF
    bool Fill();  // false at the end of the file or on a read error

    // The file is read in blocks and translated here: one library call per byte cost more
    // than the rest of a phone book's import put together.
    static constexpr std::size_t kBlock = 64 * 1024;
    FILE* file_ = nullptr;
    std::unique_ptr<char[]> block_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

// Writes a file as text mode does: every LF goes out as CR LF.
class TextWriter {
public:
    TextWriter() = default;
    TextWriter(std::string_view stored_path, bool append) { Open(stored_path, append); }
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    bool Open(std::string_view stored_path, bool append);
    bool IsOpen() const { return file_ != nullptr; }
    bool Write(std::string_view text);
    // False when any write failed or the close did.
    bool Close();

private:
    FILE* file_ = nullptr;
    bool ok_ = true;
};

}  // namespace sorvanto
