#include "editing/address_entry_rows.h"

#include <algorithm>
#include <cstdio>

#include "common/sjis.h"

namespace sorvanto {

namespace {

constexpr const char* kSystem = "System";

std::string AfterColon(const std::string& value) {
    const auto colon = value.find(':');
    return colon == std::string::npos ? std::string() : value.substr(colon + 1);
}

std::string Label(const char* utf8_format, int number) {
    char buf[64];
    std::snprintf(buf, sizeof buf, utf8_format, number);
    return sjis::Lit(buf);
}

int BoundedCount(const IniFile& ini, const char* key) {
    return std::clamp(ini.GetInt(kSystem, key, 0), 0, AddressEntryRows::kMaxIndex);
}

bool PhoneByte(unsigned char c) {
    return (c >= '0' && c <= '9') || c == '#' || c == '*' || c == ',' || c == '.';
}

bool MailByte(unsigned char c) { return (c >= 0x21 && c <= 0x7E) || (c >= 0xA1 && c <= 0xDF); }

}  // namespace

void AddressEntryRows::Load(const IniFile& entry) {
    rows_.clear();
    rows_.push_back({kName, sjis::Lit("名前"), entry.GetString(kSystem, "Name")});
    rows_.push_back({kKana, sjis::Lit("カナ"), entry.GetString(kSystem, "Kana")});
    const int tel_count = BoundedCount(entry, "TelCnt");
    for (int i = 0; i < tel_count; ++i)
        rows_.push_back({kPhoneBase + i, Label("電話%d", i + 1),
                         AfterColon(entry.GetString(kSystem, "Tel" + std::to_string(i)))});
    const int mail_count = BoundedCount(entry, "MailCnt");
    for (int i = 0; i < mail_count; ++i)
        rows_.push_back({kMailBase + i, Label("メール%d", i + 1),
                         AfterColon(entry.GetString(kSystem, "Mail" + std::to_string(i)))});
    std::string postal = entry.GetString(kSystem, "AdrNo");
    postal.erase(std::remove(postal.begin(), postal.end(), '-'), postal.end());
    rows_.push_back({kPostalCode, sjis::Lit("〒"), postal});
    rows_.push_back({kAddress, sjis::Lit("住所"), entry.GetString(kSystem, "Adr")});
    rows_.push_back({kMemo, sjis::Lit("メモ"), entry.GetString(kSystem, "Note")});
}

void AddressEntryRows::SetText(int code, std::string_view text) {
    for (Row& r : rows_) {
        if (r.code == code) {
            r.text = std::string(text);
            return;
        }
    }
}

std::string AddressEntryRows::PostalDigits(std::string_view typed) {
    std::string out;
    for (char c : typed)
        if (c >= '0' && c <= '9') out.push_back(c);
    return out;
}

AddressEntryRows::AddResult AddressEntryRows::Add(std::string_view text, bool phone) {
    if (text.empty()) return AddResult::Ignored;
    bool space = false;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == ' ') {
            space = true;
            continue;
        }
        if (!(phone ? PhoneByte(c) : MailByte(c))) return AddResult::InvalidChar;
    }
    if (space) return AddResult::Space;

    int new_index = 0;
    std::size_t insert_after = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& r = rows_[i];
        if (r.code == kMemo) continue;
        if (phone && IsMail(r.code)) continue;
        insert_after = i;
        const bool same_kind = phone ? IsPhone(r.code) : IsMail(r.code);
        if (!same_kind) continue;
        if (r.text == text) return AddResult::Duplicate;
        new_index = r.code - (phone ? kPhoneBase : kMailBase) + 1;
    }
    if (new_index >= kMaxIndex) return AddResult::TooMany;
    Row row{(phone ? kPhoneBase : kMailBase) + new_index,
            Label(phone ? "電話%d" : "メール%d", new_index + 1), std::string(text)};
    const auto at = rows_.empty() ? rows_.end() : rows_.begin() + static_cast<std::ptrdiff_t>(insert_after) + 1;
    rows_.insert(at, std::move(row));
    return AddResult::Added;
}

AddressEntryRows::AddResult AddressEntryRows::AddPhone(std::string_view number) { return Add(number, true); }
AddressEntryRows::AddResult AddressEntryRows::AddMail(std::string_view address) { return Add(address, false); }

int AddressEntryRows::Find(std::string_view text, bool phone) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& r = rows_[i];
        if ((phone ? IsPhone(r.code) : IsMail(r.code)) && r.text == text) return static_cast<int>(i);
    }
    return -1;
}

int AddressEntryRows::FindPhone(std::string_view number) const { return Find(number, true); }
int AddressEntryRows::FindMail(std::string_view address) const { return Find(address, false); }

void AddressEntryRows::RemoveRow(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < rows_.size())
        rows_.erase(rows_.begin() + row);
}

AddressEntryRows::WriteResult AddressEntryRows::Write(const std::string& stored_path,
                                                      const IniFile& original) const {
    if (rows_.empty() || rows_.front().text.empty()) return WriteResult::NameMissing;
    IniFile out = original;
    // The original file may be a different one (a new entry's scratch file); write to the
    // target path whatever it was loaded from.
    out.Parse(original.Serialize(), stored_path);
    int p = 0;
    int q = 0;
    for (const Row& r : rows_) {
        switch (r.code) {
            case kName: out.SetString(kSystem, "Name", r.text); continue;
            case kKana: out.SetString(kSystem, "Kana", r.text); continue;
            case kMemo: out.SetString(kSystem, "Note", r.text); continue;
            case kAddress: out.SetString(kSystem, "Adr", r.text); continue;
            case kPostalCode: {
                const std::string& s = r.text;
                out.SetString(kSystem, "AdrNo", s.size() < 3 ? s : s.substr(0, 3) + "-" + s.substr(3));
                continue;
            }
            default: break;
        }
        const bool phone = IsPhone(r.code);
        if (!phone && !IsMail(r.code)) continue;
        const int k = r.code - (phone ? kPhoneBase : kMailBase);
        const std::string key = phone ? "Tel" : "Mail";
        const std::string icon_key = phone ? "TelIcon" : "MailIcon";
        const std::string old_key = key + std::to_string(k);
        std::string value = std::string(phone ? "CELL:" : "INTERNET:") + r.text;
        if (original.HasKey(kSystem, old_key)) {
            const std::string stored = original.GetString(kSystem, old_key);
            if (AfterColon(stored) == r.text) value = stored;
        }
        const std::string icon = original.GetString(kSystem, icon_key + std::to_string(k), phone ? "0000" : "00");
        int& pos = phone ? p : q;
        out.SetString(kSystem, key + std::to_string(pos), value);
        out.SetString(kSystem, icon_key + std::to_string(pos), icon);
        ++pos;
    }
    out.SetInt(kSystem, "TelCnt", p);
    out.SetInt(kSystem, "MailCnt", q);
    return out.Save() ? WriteResult::Written : WriteResult::Failed;
}

std::string AddressEntryRows::Message(AddResult r) {
    switch (r) {
        case AddResult::Space: return sjis::Lit("空白(スペース)は無効です");
        case AddResult::InvalidChar: return sjis::Lit("有効でない文字が含まれています");
        case AddResult::Duplicate: return sjis::Lit("同じ登録があります");
        case AddResult::TooMany: return sjis::Lit("登録数が多すぎます");
        default: return {};
    }
}

std::string AddressEntryRows::Message(WriteResult r) {
    switch (r) {
        case WriteResult::NameMissing: return sjis::Lit("名前が登録されていません");
        case WriteResult::Failed: return sjis::Lit("処理に失敗しました");
        default: return {};
    }
}

std::string AddressEntryRows::DeleteQuestion(std::string_view text) {
    return "[" + std::string(text) + "]" + sjis::Lit("を削除してもよろしいですか？");
}

}  // namespace sorvanto
