#include "store/store_texts.h"

#include "common/sjis.h"

namespace sorvanto {

namespace {

StoreTexts Build() {
    using sjis::Lit;
    StoreTexts t;
    t.failure = Lit("処理に失敗しました");
    t.caption = Lit("確認");
    t.attached = Lit("有り");
    t.not_attached = Lit("無し");
    t.untitled = Lit("名称未設定");
    auto set = [&](Category c, const char* word) {
        auto& p = t.category[static_cast<int>(c)];
        const std::string w = Lit(word);
        p.registered = w + "[%s]" + Lit("を登録しました");
        p.deleted = w + "[%s]" + Lit("を削除しました");
        p.confirm = w + "[%s]" + Lit("を削除しますか？");
        p.already = w + "[%s]" + Lit("は登録済みです");
    };
    set(Category::kMelody, "着メロ");
    set(Category::kPicture, "待ち受け");
    set(Category::kBookmark, "ブックマーク");
    set(Category::kOutMail, "送信メール");
    set(Category::kInMail, "受信メール");
    set(Category::kAddress, "アドレス");
    set(Category::kMyPic, "カメラ画像");
    return t;
}

}  // namespace

const StoreTexts& Texts() {
    static const StoreTexts texts = Build();
    return texts;
}

std::string FormatTitle(const std::string& pattern, const std::string& title, std::size_t max_bytes) {
    // The title is inserted as it stands: a "%" in a title is no format directive.
    std::string out = pattern;
    const auto at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, title);
    return sjis::CutBytes(out, max_bytes);
}

}  // namespace sorvanto
