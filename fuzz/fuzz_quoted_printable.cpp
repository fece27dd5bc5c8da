#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/quoted_printable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int errors = 0;
    sorvanto::QuotedPrintableCodec::DecodeMemory(text, 779, false, &errors);
    sorvanto::QuotedPrintableCodec::DecodeMemory(text, size + 2, true, &errors);
    return 0;
}
