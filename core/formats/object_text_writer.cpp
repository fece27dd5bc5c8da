#include "formats/object_text_writer.h"

#include "formats/base64.h"
#include "platform/fs.h"

namespace sorvanto {

void ObjectTextWriter::Text(std::string_view text) {
    for (char c : text) {
        if (c == '\n') bytes_ += '\r';
        bytes_ += c;
    }
}

void ObjectTextWriter::Raw(std::string_view bytes) { bytes_.append(bytes); }

void ObjectTextWriter::NormalisedText(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // its LF follows
        if (c == '\n') bytes_ += '\r';
        bytes_ += c;
    }
}

void ObjectTextWriter::Wrapped(std::string_view base64, std::size_t width) {
    if (width == 0) {
        bytes_.append(base64);
        return;
    }
    for (std::size_t at = 0; at < base64.size(); at += width) {
        bytes_.append(base64.substr(at, width));
        bytes_ += "\r\n";
    }
}

bool ObjectTextWriter::Base64(std::string_view data, std::size_t width) {
    if (data.size() > base64::kFileCapacity / 4 * 3) return false;
    Wrapped(base64::Encode(data, base64::kFileCapacity), width);
    return true;
}

bool ObjectTextWriter::Save(std::string_view stored_path) const { return fs::WriteFile(stored_path, bytes_); }

}  // namespace sorvanto
