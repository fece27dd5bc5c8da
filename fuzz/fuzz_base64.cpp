#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/base64.h"
#include "formats/encoded_word.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    sorvanto::base64::Decode(text, size % 1100);
    sorvanto::encoded_word::DecodeSubject(text, 22);
    std::string out;
    sorvanto::StringSink sink(out);
    sorvanto::MemoryByteSource source(text);
    sorvanto::base64::DecodeTo(source, sink);
    return 0;
}
