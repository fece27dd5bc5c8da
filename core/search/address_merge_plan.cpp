#include "search/address_merge_plan.h"

#include <set>

#include "common/sjis.h"
#include "search/item_files.h"
#include "search/text_fold.h"
#include "store/address_store.h"
#include "store/store_texts.h"

namespace sorvanto {

namespace {

// What makes two numbers the same: their digits, or the folded text when there are none.
std::u16string NumberIdentity(const std::string& stored) {
    const std::string digits = text_fold::PhoneDigits(NumberOf(stored));
    if (!digits.empty()) return std::u16string(digits.begin(), digits.end());
    return text_fold::Fold(NumberOf(stored));
}

std::u16string MailIdentity(const std::string& stored) { return text_fold::Fold(NumberOf(stored)); }

void FillEmpty(std::string& field, const std::string& other) {
    if (field.empty()) field = other;
}

}  // namespace

AddressMergeResult MakeAddressMergePlan(const AddressStore& store, const DuplicateGroup& group,
                                        MergeLimits limits) {
    AddressMergeResult result;
    if (group.category != Category::kAddress || group.keys.size() < 2) {
        result.refusal = Texts().failure;
        return result;
    }
    std::vector<AddressEntry> entries;
    for (int key : group.keys) {
        const AddressItem* item = store.Find(key);
        auto entry = item ? ReadAddressEntry(item->path) : std::nullopt;
        if (!entry) {
            result.refusal = Texts().failure;
            return result;
        }
        entries.push_back(std::move(*entry));
    }
    AddressMergePlan plan;
    plan.keep_key = group.keys[0];
    plan.drop_keys.assign(group.keys.begin() + 1, group.keys.end());
    plan.merged = entries[0];
    AddressEntry& m = plan.merged;
    // Icons are read with their defaults, so every number and address has one.
    m.tel_icons.resize(m.tels.size(), "0000");
    m.mail_icons.resize(m.mails.size(), "00");
    std::set<std::u16string> numbers, mails;
    for (const std::string& tel : m.tels) numbers.insert(NumberIdentity(tel));
    for (const std::string& mail : m.mails) mails.insert(MailIdentity(mail));
    for (std::size_t e = 1; e < entries.size(); ++e) {
        const AddressEntry& other = entries[e];
        for (std::size_t i = 0; i < other.tels.size(); ++i) {
            if (!numbers.insert(NumberIdentity(other.tels[i])).second) continue;
            m.tels.push_back(other.tels[i]);
            m.tel_icons.push_back(i < other.tel_icons.size() ? other.tel_icons[i] : "0000");
        }
        for (std::size_t i = 0; i < other.mails.size(); ++i) {
            if (!mails.insert(MailIdentity(other.mails[i])).second) continue;
            m.mails.push_back(other.mails[i]);
            m.mail_icons.push_back(i < other.mail_icons.size() ? other.mail_icons[i] : "00");
        }
        FillEmpty(m.name, other.name);
        FillEmpty(m.kana, other.kana);
        if (m.adr.empty() && m.adr_no.empty()) {
            m.adr = other.adr;
            m.adr_no = other.adr_no;
        }
        FillEmpty(m.note, other.note);
    }
    if (m.tels.size() > limits.numbers || m.mails.size() > limits.mails) {
        result.refusal = sjis::Lit("登録数が多すぎます");
        return result;
    }
    result.plan = std::move(plan);
    return result;
}

}  // namespace sorvanto
