#include "search/category_names.h"

#include "search/store_refs.h"

namespace sorvanto {

std::string_view CategoryName(Category c) {
    switch (c) {
    case Category::kMelody: return "melody";
    case Category::kPicture: return "picture";
    case Category::kBookmark: return "bookmark";
    case Category::kOutMail: return "outmail";
    case Category::kInMail: return "inmail";
    case Category::kAddress: return "address";
    case Category::kMyPic: return "mypic";
    }
    return "";
}

std::optional<Category> CategoryOfName(std::string_view name) {
    for (Category c : kAllCategories)
        if (CategoryName(c) == name) return c;
    return std::nullopt;
}

}  // namespace sorvanto
