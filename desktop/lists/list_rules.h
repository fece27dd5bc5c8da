#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/window_requests.h"
#include "store/category.h"

// The rules of the category list windows that are not widget plumbing: columns, menus,
// default commands, supported commands, texts, save dialogs and send requests.
namespace sorvanto {

struct SaveDialogSpec {
    std::string_view default_ext;  // "*.mld"
    std::string_view filter;       // "MLD File (*.mld)|*.mld|All Files (*.*)|*.*||"
};

struct ListRules {
    Category category;
    int tab_number;               // section "Tab%d" of the column widths
    std::vector<int> column_ids;  // string ids of the headings, left to right
    int menu_index;               // the category's pop-up in the context menus
    int default_command;          // carried out by a double-click
    std::vector<int> supported;   // commands the main window enables for the tab
    // True: every command needs a selected row. False: new and preview need none.
    bool every_command_needs_row;
};

const ListRules& RulesOf(Category category);

// The heading of a column string id (UTF-8), empty for an unknown id.
std::string_view ColumnHeading(int string_id);

// Whether a command needs a selected row in the category's dispatch.
bool CommandNeedsRow(Category category, int command_id);

// The save dialog of a category; pictures choose by their type (1 JPEG, 2 GIF, else BMP).
SaveDialogSpec SaveSpecOf(Category category, int picture_type = 0);

// Shift_JIS texts of the lists' own messages.
const std::string& NoSelectionText();       // "選択されているアイテムがありません"
const std::string& MultiSendQuestion();     // "複数選択されています。全件送信しますか？\n※..."
const std::string& MultiDeleteQuestion();   // "複数選択されています。全て削除しますか？"
const std::string& BrowserFailureText();    // "ブラウザが起動できませんでした"

// Only web addresses go to the browser: a shortcut pushed by a handset could otherwise name
// a local program or any other scheme the desktop would run.
bool IsBrowsableUrl(std::string_view url);

// The request of a built object: the kind's label and object file, and the object name.
// nullopt for a kind without a table entry.
std::optional<SendRequest> MakeSendRequest(int kind, std::string_view object_name);

// The Qt file-dialog filter of a "Name|*.x|Name|*.y||" filter ("Name (*.x);;Name (*.y)").
std::string QtFilterOf(std::string_view filter);

}  // namespace sorvanto
