#include "app/menu_templates.h"

#include "app/command_ids.h"

namespace sorvanto {

namespace {

using Item = MenuTemplates::Item;
using Popup = MenuTemplates::Popup;

Popup FilePopup() {
    return {"ファイル(&F)", {{cmd::kConfig, "ｺﾝﾌｨｸﾞ(&C)"}, {cmd::kEudc, "外字登録(&G)"}, {0, nullptr},
                             {cmd::kExit, "終了(&X)"}}};
}
Popup ViewPopup() {
    return {"表示(&V)", {{cmd::kToolBar, "ツールバー(&T)"}, {cmd::kStatusBar, "ステータスバー(&S)"}}};
}
Popup HelpPopup() {
    return {"ヘルプ(&H)", {{cmd::kHelp, "ヘルプ(&H)"}, {0, nullptr}, {cmd::kAbout, "ﾊﾞｰｼﾞｮﾝ情報(&A)"}}};
}

std::vector<Item> CategoryItems(int template_id) {
    switch (template_id) {
    case 145:  // melodies
        return {{cmd::kSend, "送信(&S)"}, {cmd::kDelete, "削除(&D)"}, {cmd::kEdit, "コメント(&C)"},
                {cmd::kSave, "保存(&A)"}, {0, nullptr}, {cmd::kPlay, "再生(&P)"}, {cmd::kDetails, "詳細(&I)"}};
    case 149:  // standby pictures
        return {{cmd::kSend, "送信(&S)"}, {cmd::kDelete, "削除(&D)"}, {cmd::kEdit, "編集(&E)"},
                {cmd::kSave, "保存(&A)"}, {0, nullptr}, {cmd::kPreview, "プレビュー(&P)"}};
    case 146:  // bookmarks
        return {{cmd::kSend, "送信(&S)"}, {cmd::kDelete, "削除(&D)"}, {cmd::kEdit, "コメント(&C)"},
                {cmd::kSave, "保存(&A)"}, {0, nullptr}, {cmd::kBrowser, "ブラウザ起動(&B)"}};
    case 150:  // sent mail
        return {{cmd::kNew, "新規作成(&N)"}, {cmd::kEdit, "修正(&E)"}, {cmd::kSend, "送信(&S)"},
                {cmd::kDelete, "削除(&D)"}, {cmd::kSave, "保存(&A)"}, {0, nullptr},
                {cmd::kPictograph, "絵文字(&I)"}};
    case 152:  // received mail
        return {{cmd::kView, "参照(&R)"}, {cmd::kSend, "送信(&S)"}, {cmd::kDelete, "削除(&D)"},
                {cmd::kSave, "保存(&A)"}, {0, nullptr}, {cmd::kPictograph, "絵文字(&I)"}};
    case 153:  // address book
        return {{cmd::kNew, "新規作成(&N)"}, {cmd::kEdit, "修正(&E)"}, {cmd::kSend, "送信(&S)"},
                {cmd::kDelete, "削除(&D)"}, {cmd::kSave, "保存(&A)"}};
    case 195:  // camera pictures
        return {{cmd::kSend, "送信(&S)"}, {cmd::kDelete, "削除(&D)"}, {cmd::kEdit, "編集(&E)"},
                {cmd::kSave, "保存(&A)"}, {0, nullptr}, {cmd::kPreview, "プレビュー(&P)"}};
    default:
        return {};
    }
}

const char* CategoryTitle(int template_id) {
    switch (template_id) {
    case 145: return "着メロ(&M)";
    case 149: return "待ち受け(&W)";
    case 146: return "ブックマーク(&B)";
    case 150: return "送信メール(&O)";
    case 152: return "受信メール(&R)";
    case 153: return "アドレス帳(&A)";
    case 195: return "カメラ写真(&P)";
    default: return nullptr;
    }
}

}  // namespace

std::vector<Popup> MenuTemplates::Menu(int template_id) {
    std::vector<Popup> menu{FilePopup()};
    if (const char* title = CategoryTitle(template_id)) menu.push_back({title, CategoryItems(template_id)});
    menu.push_back(ViewPopup());
    menu.push_back({"ツール(&T)",
                    {{cmd::kSearch, "検索...\tCtrl+F"},
                     {cmd::kDuplicates, "重複の整理..."},
                     {0, nullptr},
                     {cmd::kPictograph, "絵文字(&I)"},
                     {cmd::kConfig, "ｺﾝﾌｨｸﾞ(&C)"}}});
    menu.push_back(HelpPopup());
    return menu;
}

std::vector<Item> MenuTemplates::ContextPopup(int index) {
    static constexpr int kByIndex[] = {145, 146, 150, 152, 153, 149};
    if (index < 0 || index >= 6) return {};
    return CategoryItems(kByIndex[index]);
}

}  // namespace sorvanto
