#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sorvanto {

// The pixel size and format of a BMP, JPEG or GIF picture, read from its headers alone (the
// picture is not decoded). Used where a picture's natural size is needed at registration.
struct ImageInfo {
    enum Format { kBmp = 0, kJpeg = 1, kGif = 2 };

    // Why a header was refused and the byte offset where the reader gave up.
    struct Error {
        std::string what;
        std::size_t offset = 0;
    };

    int width = 0;
    int height = 0;  // always positive; a top-down bitmap's negative height is turned round
    Format format = kBmp;

    // BMP (BITMAPINFOHEADER and later, or the OS/2 core header), JPEG (the first SOFn segment)
    // or GIF (the logical screen). A header that lies (a length past the end, a zero size, a
    // truncated file) gives nullopt and, when asked, the reason.
    static std::optional<ImageInfo> FromBytes(std::string_view bytes, Error* error = nullptr);
    // The same for a stored path; nullopt when the file cannot be read.
    static std::optional<ImageInfo> FromFile(std::string_view stored_path, Error* error = nullptr);
};

}  // namespace sorvanto
