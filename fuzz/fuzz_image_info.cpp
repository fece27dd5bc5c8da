#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/image_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sorvanto::ImageInfo::Error error;
    const auto info = sorvanto::ImageInfo::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size), &error);
    if (info && (info->width <= 0 || info->height <= 0)) __builtin_trap();
    return 0;
}
