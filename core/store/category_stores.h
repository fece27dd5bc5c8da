#pragma once

#include <array>

#include "store/address_store.h"
#include "store/bookmark_store.h"
#include "store/mail_store.h"
#include "store/melody_store.h"
#include "store/picture_store.h"

namespace sorvanto {

// The categories in the order of the tabs.
inline constexpr std::array<Category, 7> kAllCategories = {Category::kMelody,  Category::kPicture,
                                                          Category::kBookmark, Category::kOutMail,
                                                          Category::kInMail,   Category::kAddress,
                                                          Category::kMyPic};

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
