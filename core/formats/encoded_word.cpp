#include "formats/encoded_word.h"

#include "formats/base64.h"

namespace sorvanto::encoded_word {

std::string EncodeSubjectLine(std::string_view subject) {
    if (subject.empty()) return "Subject:";
    std::string line(kSubjectPrefix);
    line += base64::Encode(subject, kEncodeCapacity);
    line += "?=";
    return line;
}

std::string DecodeSubject(std::string_view line, std::size_t prefix_length, std::size_t capacity) {
    if (line.size() <= prefix_length) return {};
    return base64::Decode(line.substr(prefix_length), capacity);
}

}  // namespace sorvanto::encoded_word
