#include "search/store_rows.h"

#include "store/row_texts.h"

namespace sorvanto {

namespace {
template <class Store>
std::vector<std::string> TextsOf(const Store* store, int key) {
    const auto* item = store ? store->Find(key) : nullptr;
    return item ? RowTexts(*item) : std::vector<std::string>{};
}
}  // namespace

std::vector<std::string> RowTextsOf(const StoreRefs& s, Category c, int key) {
    switch (c) {
    case Category::kMelody: return TextsOf(s.melody, key);
    case Category::kPicture: return TextsOf(s.picture, key);
    case Category::kBookmark: return TextsOf(s.bookmark, key);
    case Category::kOutMail: return TextsOf(s.out_mail, key);
    case Category::kInMail: return TextsOf(s.in_mail, key);
    case Category::kAddress: return TextsOf(s.address, key);
    case Category::kMyPic: return TextsOf(s.my_pic, key);
    }
    return {};
}

}  // namespace sorvanto
