#pragma once

#include <string_view>

namespace sorvanto {

// The seven categories of the local store, each with its own index file.
enum class Category { kMelody, kPicture, kBookmark, kOutMail, kInMail, kAddress, kMyPic };

struct CategoryFiles {
    std::string_view index_path;   // ".\mldfile.ini", ...
    std::string_view default_dir;  // data folder when "Dir" is missing; empty for bookmarks
};

constexpr CategoryFiles FilesOf(Category c) {
    switch (c) {
    case Category::kMelody: return {".\\mldfile.ini", "Melody\\"};
    case Category::kPicture: return {".\\picture.ini", "Picture\\"};
    case Category::kBookmark: return {".\\bookmk.ini", ""};
    case Category::kOutMail: return {".\\outmail.ini", "OutMail\\"};
    case Category::kInMail: return {".\\inmail.ini", "InMail\\"};
    case Category::kAddress: return {".\\address.ini", "Address\\"};
    case Category::kMyPic: return {".\\MyPic.ini", "MyPic\\"};
    }
    return {"", ""};
}

}  // namespace sorvanto
