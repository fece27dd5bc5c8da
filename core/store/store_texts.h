#pragma once

#include <string>

#include "store/category.h"

namespace sorvanto {

// The store's own Japanese texts as Shift_JIS bytes, converted once on first use. Texts
// with "%s" take the item's title (name, subject).
struct StoreTexts {
    std::string failure;  // "処理に失敗しました"
    std::string caption;  // "確認"
    std::string attached;      // "有り"
    std::string not_attached;  // "無し"
    std::string untitled;      // "名称未設定", the title of a picture dropped from disk

    struct PerCategory {
        std::string registered;    // "着メロ[%s]を登録しました"
        std::string deleted;       // "着メロ[%s]を削除しました"
        std::string confirm;       // "着メロ[%s]を削除しますか？"
        std::string already;       // "着メロ[%s]は登録済みです", an incoming copy left out
    };
    PerCategory category[7];

    const PerCategory& Of(Category c) const { return category[static_cast<int>(c)]; }
};

const StoreTexts& Texts();

// Puts the title in place of the "%s" of a log or question text (one "%s", no other format);
// the result is cut to max_bytes without splitting a double-byte character.
std::string FormatTitle(const std::string& pattern, const std::string& title, std::size_t max_bytes = 255);

}  // namespace sorvanto
