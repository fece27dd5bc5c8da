#include "store/category_stores.h"

namespace sorvanto {

CategoryStoreBase& CategoryStores::Of(Category c) {
    switch (c) {
    case Category::kMelody: return melody;
    case Category::kPicture: return picture;
    case Category::kBookmark: return bookmark;
    case Category::kOutMail: return out_mail;
    case Category::kInMail: return in_mail;
    case Category::kAddress: return address;
    case Category::kMyPic: return my_pic;
    }
    return melody;
}

void CategoryStores::SetObserver(StoreObserver* observer) {
    for (Category c : kAllCategories) Of(c).SetObserver(observer);
}

void CategoryStores::LoadAll() {
    for (Category c : kAllCategories) Of(c).Load();
}

void CategoryStores::BeginBatch() {
    for (Category c : kAllCategories) Of(c).BeginBatch();
}

void CategoryStores::EndBatch() {
    for (Category c : kAllCategories) Of(c).EndBatch();
}

}  // namespace sorvanto
