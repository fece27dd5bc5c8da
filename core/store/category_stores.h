#pragma once

#include "store/address_store.h"
#include "store/bookmark_store.h"
#include "store/mail_store.h"
#include "store/melody_store.h"
#include "store/picture_store.h"

namespace sorvanto {

// The seven category stores of one working folder.
struct CategoryStores {
    MelodyStore melody;
    PictureStore picture{Category::kPicture};
    BookmarkStore bookmark;
    MailStore out_mail{Category::kOutMail};
    MailStore in_mail{Category::kInMail};
    AddressStore address;
    PictureStore my_pic{Category::kMyPic};

    // The store of a category.
    CategoryStoreBase& Of(Category c);
    void SetObserver(StoreObserver* observer);
    void LoadAll();
    void BeginBatch();
    void EndBatch();
};

}  // namespace sorvanto
