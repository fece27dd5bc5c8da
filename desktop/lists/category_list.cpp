#include "lists/category_list.h"

#include <QContextMenuEvent>
#include <QHeaderView>

#include "app/command_ids.h"
#include "app/copy_data_event.h"
#include "common/settings_file.h"
#include "formats/send_request_table.h"
#include "lists/address_list.h"
#include "lists/bookmark_list.h"
#include "lists/in_mail_list.h"
#include "lists/melody_list.h"
#include "lists/my_pic_list.h"
#include "lists/out_mail_list.h"
#include "lists/picture_list.h"
#include "lists/prompt.h"
#include "store/exports.h"

namespace sorvanto {

namespace {
constexpr int kDefaultColumnWidth = 100;
constexpr std::size_t kPathBytes = 260;

std::string TabSection(int tab) { return "Tab" + std::to_string(tab); }
std::string ColumnKey(int column) { return "Column" + std::to_string(column); }
}  // namespace

CCategoryList* CCategoryList::Create(Category category, ModelSource model, QObject* main_window, QWidget* parent) {
    switch (category) {
    case Category::kMelody: return new CMelodyList(std::move(model), main_window, parent);
    case Category::kPicture: return new CPictureList(std::move(model), main_window, parent);
    case Category::kBookmark: return new CBookmarkList(std::move(model), main_window, parent);
    case Category::kOutMail: return new COutMailList(std::move(model), main_window, parent);
    case Category::kInMail: return new CInMailList(std::move(model), main_window, parent);
    case Category::kAddress: return new CAddressList(std::move(model), main_window, parent);
    case Category::kMyPic: return new CMyPicList(std::move(model), main_window, parent);
    }
    return nullptr;
}

CCategoryList::CCategoryList(Category category, std::unique_ptr<CategoryStoreBase> store, ModelSource model,
                             QObject* main_window, QWidget* parent)
    : CtnListCtrl(parent, category == Category::kAddress ? Selection::kMultiple : Selection::kSingle),
      category_(category),
      rules_(RulesOf(category)),
      store_(std::move(store)),
      model_(std::move(model)),
      main_window_(main_window),
      prompt_(&Prompt::Default()) {
    SetExtendedStyle(kFullRowSelect);
    store_->SetObserver(this);
    connect(this, &CtnListCtrl::RowActivated, this, [this](int row) { RowDoubleClicked(row); });
}

CCategoryList::~CCategoryList() {
    // The index is written at every change; this last write-back only keeps the close's
    // order: items first, then the column widths.
    store_->SetObserver(nullptr);
    // A list that never loaded holds none of its items: writing it back would empty the index.
    if (loaded_) store_->Close();
    SaveColumnWidths();
}

void CCategoryList::Load() {
    loaded_ = true;
    SetUpColumns();
    DeleteAllRows();
    store_->Load();
}

void CCategoryList::SetUpColumns() {
    const IniFile& ini = SettingsFile::Get();
    const std::string section = TabSection(rules_.tab_number);
    int i = 0;
    for (int id : rules_.column_ids) {
        const int width = ini.GetInt(section, ColumnKey(i), kDefaultColumnWidth);
        InsertColumn(i, QString::fromUtf8(ColumnHeading(id).data(), static_cast<int>(ColumnHeading(id).size())),
                     ellipsis_fit::Alignment::kLeft, width);
        ++i;
    }
    column_count_ = i;
    tab_number_ = rules_.tab_number;
}

void CCategoryList::SaveColumnWidths() {
    if (column_count_ == 0) return;
    IniFile& ini = SettingsFile::Get();
    const std::string section = TabSection(tab_number_);
    for (int i = 0; i < column_count_; ++i) ini.SetInt(section, ColumnKey(i), header()->sectionSize(i));
    SettingsFile::Save();
}

bool CCategoryList::IsCommandSupported(int command_id) {
    for (int id : rules_.supported)
        if (id == command_id) return true;
    return false;
}

void CCategoryList::DoCommand(int command_id) {
    // The pictograph keyboard is enabled for the mail tabs but belongs to the main window.
    if (command_id == cmd::kPictograph || !IsCommandSupported(command_id)) return;
    const int first = SelectedRow();
    if (CommandNeedsRow(category_, command_id)) {
        if (first < 0) {
            prompt_->Tell(this, NoSelectionText(), Prompt::Icon::kNone);
            return;
        }
        current_row_ = first;
    } else {
        current_row_ = command_id == cmd::kNew ? -1 : first;
    }
    switch (command_id) {
    case cmd::kSend: SendCommand(); break;
    case cmd::kDelete: DeleteCommand(); break;
    case cmd::kEdit: EditCommand(); break;
    case cmd::kNew: NewCommand(); break;
    case cmd::kView: ViewCommand(); break;
    case cmd::kPreview: PreviewCommand(); break;
    case cmd::kSave: SaveCommand(); break;
    case cmd::kPlay: PlayCommand(); break;
    case cmd::kBrowser: BrowserCommand(); break;
    case cmd::kDetails: DetailsCommand(); break;
    default: break;
    }
}

void CCategoryList::DeleteCommand() {}

int CCategoryList::RowOfKey(int key) const {
    for (int row = 0; row < RowCount(); ++row)
        if (UserValue(row) == key) return row;
    return -1;
}

int CCategoryList::KeyOfRow(int row) const {
    return row >= 0 && row < RowCount() ? UserValue(row) : -1;
}

void CCategoryList::RowRightClicked(int row, const QPoint& global_pos) {
    if (row < 0 || row >= RowCount()) return;
    current_row_ = row;
    ContextMenuRequest request{};
    request.menu_index = rules_.menu_index;
    request.screen_x = global_pos.x();
    request.screen_y = global_pos.y();
    // No window handles here: the tab number names the list the menu belongs to.
    request.list_window = tab_number_;
    CopyDataEvent::Send(MainWindow(), static_cast<int>(RequestKind::ContextMenu), CopyDataEvent::RecordBytes(request));
}

void CCategoryList::RowDoubleClicked(int row) {
    if (row < 0 || row >= RowCount()) return;
    DoCommand(rules_.default_command);
}

QObject* CCategoryList::MainWindow() const {
    return main_window_ ? main_window_.data() : static_cast<QObject*>(window());
}

int CCategoryList::PostLog(const std::string& text) {
    return CopyDataEvent::Send(MainWindow(), static_cast<int>(RequestKind::Log),
                               CopyDataEvent::TextBytes(text, kLogTextSize));
}

int CCategoryList::PostSend(const SendRequest& request) {
    return CopyDataEvent::Send(MainWindow(), static_cast<int>(RequestKind::Send), CopyDataEvent::RecordBytes(request));
}

int CCategoryList::PostImport(const std::string& path) {
    return CopyDataEvent::Send(MainWindow(), static_cast<int>(RequestKind::ImportFile),
                               CopyDataEvent::TextBytes(path, kPathBytes));
}

std::optional<std::string> CCategoryList::AskSavePath(const std::string& title, const SaveDialogSpec& spec) {
    return prompt_->SaveFileName(this, ProposedFileName(title), spec.filter, spec.default_ext);
}

void CCategoryList::FinishSend(bool ok, int kind, const std::string& object_name) {
    // A request for an object that was never built would only end in a misleading
    // "not in range"; the log says what really happened instead.
    const auto request = ok ? MakeSendRequest(kind, object_name) : std::nullopt;
    if (!request) {
        PostLog(SendRequestTable::BuildFailedLine());
        return;
    }
    PostSend(*request);
}

std::string CCategoryList::ObjectFileOf(int kind) {
    const auto entry = SendRequestTable::Find(kind);
    return entry ? entry->object_file : std::string();
}

void CCategoryList::FillRow(int row, int key) {
    const std::vector<std::string> texts = RowTextsOf(key);
    for (int c = 0; c < column_count_ && c < static_cast<int>(texts.size()); ++c)
        SetItemText(row, c, texts[static_cast<std::size_t>(c)]);
}

void CCategoryList::ItemAdded(Category, int key) {
    const std::vector<std::string> texts = RowTextsOf(key);
    const int row = InsertRow(RowCount(), texts.empty() ? std::string() : texts.front(), RowImageOf(key));
    if (row < 0) return;
    SetUserValue(row, key);
    FillRow(row, key);
    Q_EMIT RowFilled(row);
}

void CCategoryList::ItemChanged(Category, int key) {
    const int row = RowOfKey(key);
    if (row < 0) return;
    FillRow(row, key);
    Q_EMIT RowFilled(row);
}

void CCategoryList::ItemRemoved(Category, int key) {
    const int row = RowOfKey(key);
    if (row >= 0) DeleteRow(row);
    if (current_row_ >= RowCount()) current_row_ = -1;
}

void CCategoryList::LogLine(const std::string& text) { PostLog(text); }

void CCategoryList::Failure(const std::string& message, const std::string&) {
    prompt_->Tell(this, message, Prompt::Icon::kNone);
}

void CCategoryList::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (index.isValid()) {
        // The right button selects the row it is on, as the list view does.
        if (!selectionModel()->isRowSelected(index.row(), QModelIndex())) SelectRow(index.row());
        RowRightClicked(index.row(), event->globalPos());
    }
    event->accept();
}

void CCategoryList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    CtnListCtrl::selectionChanged(selected, deselected);
    const QModelIndex current = currentIndex();
    if (current.isValid() && selected.contains(model()->index(current.row(), 0))) RowSelected(current.row());
}

}  // namespace sorvanto
