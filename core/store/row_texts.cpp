#include "store/row_texts.h"

#include "common/time_text.h"
#include "store/store_texts.h"

namespace sorvanto {

std::string RowTimeText(std::int64_t seconds, bool from_handset) {
    return seconds < 1 ? std::string() : ListTimeText(seconds, from_handset);
}

std::vector<std::string> RowTexts(const MelodyItem& item) {
    return {item.title, std::to_string(item.bytes), item.comment, RowTimeText(item.entry_time, item.flag != 0)};
}

std::vector<std::string> RowTexts(const PictureItem& item) {
    const char* type = item.type == 1 ? "JPEG" : item.type == 2 ? "GIF" : "BMP";
    return {item.title,
            std::to_string(item.width) + " x " + std::to_string(item.height),
            std::to_string(item.bytes),
            type,
            item.comment,
            RowTimeText(item.entry_time, item.flag != 0)};
}

std::vector<std::string> RowTexts(const BookmarkItem& item) {
    return {item.title, item.url, item.comment, RowTimeText(item.entry_time, item.flag != 0)};
}

std::vector<std::string> RowTexts(const AddressItem& item) {
    return {item.name, item.kana, item.phone, item.mail, item.memo, RowTimeText(item.entry_time, item.flag != 0)};
}

std::vector<std::string> RowTexts(const MailItem& item) {
    return {item.from_or_to,
            item.subject,
            item.body,
            RowTimeText(item.mail_date, true),
            item.attachment != 0 ? Texts().attached : Texts().not_attached,
            RowTimeText(item.entry_time, item.flag != 0)};
}

int MailRowImage(const MailItem& item, bool received) {
    if (received) return item.status != 0 ? 3 : 4;
    return item.status != 0 ? 1 : 2;
}

}  // namespace sorvanto
