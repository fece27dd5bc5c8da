#pragma once

#include "store/category_stores.h"

namespace sorvanto {

// The category stores a search or a tidy works on. The desktop's stores live in its list
// windows (only those the model offers), the command-line tool's in one CategoryStores; a
// category without a store is null and is left out.
struct StoreRefs {
    MelodyStore* melody = nullptr;
    PictureStore* picture = nullptr;
    BookmarkStore* bookmark = nullptr;
    MailStore* out_mail = nullptr;
    MailStore* in_mail = nullptr;
    AddressStore* address = nullptr;
    PictureStore* my_pic = nullptr;

    static StoreRefs Of(CategoryStores& stores) {
        return {&stores.melody, &stores.picture, &stores.bookmark, &stores.out_mail,
                &stores.in_mail, &stores.address, &stores.my_pic};
    }
    CategoryStoreBase* Of(Category c) const {
        switch (c) {
        case Category::kMelody: return melody;
        case Category::kPicture: return picture;
        case Category::kBookmark: return bookmark;
        case Category::kOutMail: return out_mail;
        case Category::kInMail: return in_mail;
        case Category::kAddress: return address;
        case Category::kMyPic: return my_pic;
        }
        return nullptr;
    }
};

}  // namespace sorvanto
