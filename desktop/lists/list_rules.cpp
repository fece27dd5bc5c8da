#include "lists/list_rules.h"

#include <array>
#include <cctype>
#include <utility>

#include "app/command_ids.h"
#include "common/sjis.h"
#include "formats/send_request_table.h"

namespace sorvanto {

namespace {

using namespace cmd;

const std::array<ListRules, 7>& AllRules() {
    static const std::array<ListRules, 7> rules{{
        {Category::kMelody, 0, {20000, 20001, 20002, 20005}, 0, kPlay,
         {kSend, kDelete, kEdit, kSave, kPlay, kDetails}, true},
        {Category::kPicture, 1, {20100, 20102, 20101, 20103, 20104, 20106}, 5, kPreview,
         {kSend, kDelete, kEdit, kPreview, kSave}, false},
        {Category::kBookmark, 2, {20200, 20201, 20202, 20204}, 1, kBrowser,
         {kSend, kDelete, kEdit, kSave, kBrowser}, true},
        {Category::kOutMail, 3, {20400, 20401, 20402, 20403, 20405, 20407}, 2, kEdit,
         {kPictograph, kSend, kDelete, kEdit, kNew, kSave}, false},
        {Category::kInMail, 4, {20500, 20501, 20502, 20503, 20504, 20506}, 3, kView,
         {kPictograph, kSend, kDelete, kView, kSave}, true},
        {Category::kAddress, 5, {20600, 20601, 20602, 20603, 20604, 20606}, 4, kEdit,
         {kSend, kDelete, kEdit, kNew, kSave}, false},
        {Category::kMyPic, 1, {20100, 20102, 20101, 20103, 20104, 20106}, 5, kPreview,
         {kSend, kDelete, kEdit, kPreview, kSave}, false},
    }};
    return rules;
}

}  // namespace

const ListRules& RulesOf(Category category) { return AllRules()[static_cast<std::size_t>(category)]; }

std::string_view ColumnHeading(int string_id) {
    static const std::pair<int, std::string_view> headings[] = {
        {20000, "タイトル"}, {20001, "容量(Byte)"}, {20002, "コメント"}, {20003, "取得日時"},
        {20005, "登録日時"}, {20100, "タイトル"}, {20101, "容量(Byte)"}, {20102, "サイズ"},
        {20103, "タイプ"},   {20104, "コメント"}, {20106, "登録日時"},   {20200, "タイトル"},
        {20201, "アドレス"}, {20202, "コメント"}, {20204, "登録日時"},   {20400, "To"},
        {20401, "Subject"},  {20402, "本文"},     {20403, "送信日時"},   {20404, "状態"},
        {20405, "添付ファイル"}, {20407, "登録日時"}, {20500, "From"},   {20501, "Subject"},
        {20502, "本文"},     {20503, "受信日時"}, {20504, "添付ファイル"}, {20506, "登録日時"},
        {20600, "名前"},     {20601, "フリガナ"}, {20602, "電話番号"},   {20603, "メール"},
        {20604, "メモ"},     {20606, "登録日時"},
    };
    for (const auto& [id, text] : headings)
        if (id == string_id) return text;
    return {};
}

bool CommandNeedsRow(Category category, int command_id) {
    if (RulesOf(category).every_command_needs_row) return true;
    return command_id != kNew && command_id != kPreview;
}

SaveDialogSpec SaveSpecOf(Category category, int picture_type) {
    switch (category) {
    case Category::kMelody: return {"*.mld", "MLD File (*.mld)|*.mld|All Files (*.*)|*.*||"};
    case Category::kPicture:
    case Category::kMyPic:
        if (picture_type == 1) return {"*.jpg", "JPEG File (*.jpg)|*.jpg|All Files (*.*)|*.*||"};
        if (picture_type == 2) return {"*.gif", "GIF File (*.gif)|*.gif|All Files (*.*)|*.*||"};
        return {"*.bmp", "BMP File (*.bmp)|*.bmp|All Files (*.*)|*.*||"};
    case Category::kBookmark: return {"*.url", "URL File (*.url)|*.url|All Files (*.*)|*.*||"};
    case Category::kAddress: return {"*.vcf", "Address File (*.vcf)|*.vcf||"};
    case Category::kOutMail:
    case Category::kInMail: return {"*.eml", "Mail File (*.eml)|*.eml||"};
    }
    return {};
}

const std::string& NoSelectionText() {
    static const std::string text = sjis::Lit("選択されているアイテムがありません");
    return text;
}

const std::string& MultiSendQuestion() {
    static const std::string text =
        sjis::Lit("複数選択されています。全件送信しますか？\n※携帯側のデータは全て消去されます");
    return text;
}

const std::string& MultiDeleteQuestion() {
    static const std::string text = sjis::Lit("複数選択されています。全て削除しますか？");
    return text;
}

const std::string& BrowserFailureText() {
    static const std::string text = sjis::Lit("ブラウザが起動できませんでした");
    return text;
}

bool IsBrowsableUrl(std::string_view url) {
    std::size_t start = 0;
    while (start < url.size() && (url[start] == ' ' || url[start] == '\t')) ++start;
    std::string scheme;
    for (std::size_t i = start; i < url.size() && url[i] != ':'; ++i)
        scheme.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(url[i]))));
    const std::size_t colon = start + scheme.size();
    if (colon >= url.size()) return false;
    if (scheme != "http" && scheme != "https") return false;
    // "http:" alone, or "http:foo", names no host for a browser to reach.
    const std::string_view rest = url.substr(colon + 1);
    return rest.size() > 2 && rest.substr(0, 2) == "//";
}

std::optional<SendRequest> MakeSendRequest(int kind, std::string_view object_name) {
    const auto entry = SendRequestTable::Find(kind);
    if (!entry) return std::nullopt;
    SendRequest request{};
    request.kind = kind;
    CopyField(request.title, entry->label);
    CopyField(request.local_path, entry->object_file);
    CopyField(request.object_name, object_name);
    return request;
}

std::string QtFilterOf(std::string_view filter) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= filter.size(); ++i) {
        if (i == filter.size() || filter[i] == '|') {
            parts.push_back(filter.substr(start, i - start));
            start = i + 1;
        }
    }
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) break;
        if (!out.empty()) out += ";;";
        const std::string_view name = parts[i];
        const std::string_view pattern = parts[i + 1];
        // The names already carry their pattern in brackets; Qt reads the pattern from them.
        out += name;
        if (name.find('(') == std::string_view::npos) out += " (" + std::string(pattern) + ")";
    }
    return out;
}

}  // namespace sorvanto
