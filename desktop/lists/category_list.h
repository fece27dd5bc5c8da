#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/category_page.h"
#include "common/window_requests.h"
#include "controls/ctn_list_ctrl.h"
#include "lists/list_rules.h"
#include "store/category_store_base.h"
#include "store/store_observer.h"

namespace sorvanto {

class Prompt;

// The list window of one category: the category's store (which it owns and observes), the
// rows that show it, the columns with their widths in ".\Sorvanto.ini", the commands of the
// category's menu and the requests to the main window (log line, send, context menu, import),
// sent there as CopyDataEvents.
//
// Rows carry their record's key as user value. The main window is the object given at
// construction, or this widget's top-level window when none was given.
class CCategoryList : public CtnListCtrl, public CategoryPage, protected StoreObserver {
    Q_OBJECT
public:
    using ModelSource = std::function<int()>;

    // The list window of a category over the store of its default index file (not yet loaded).
    static CCategoryList* Create(Category category, ModelSource model, QObject* main_window, QWidget* parent);

    ~CCategoryList() override;

    // CategoryPage.
    QWidget* Widget() override { return this; }
    Category GetCategory() const override { return category_; }
    CategoryStoreBase& Store() override { return *store_; }
    // A file dropped on the tab: the category's import, or a kind-8 request to the main window.
    void ImportFile(const std::string& path) override = 0;
    void OnCommand(int command_id) override { DoCommand(command_id); }
    bool IsCommandSupported(int command_id) override;

    // Sets up the columns and reads the index file into rows.
    void Load();
    // Loads the list unless it is loaded. Only the list shown first is loaded before the first
    // paint; the others load after it, and whatever acts on a list makes sure of it first.
    void EnsureLoaded() {
        if (!loaded_) Load();
    }
    bool IsLoaded() const { return loaded_; }
    // Carries out a menu, toolbar or context-menu command on the selected rows.
    void DoCommand(int command_id);

    // The seam for questions, messages and dialogs (Prompt::Default() at first; not owned).
    void SetPrompt(Prompt* prompt) { prompt_ = prompt; }
    Prompt& GetPrompt() const { return *prompt_; }
    void SetMainWindow(QObject* main_window) { main_window_ = main_window; }

    int TabNumber() const { return tab_number_; }
    int ColumnCount() const { return column_count_; }
    // The row commands act on; -1 for none.
    int CurrentRow() const { return current_row_; }
    // The row showing a key; -1 when none does.
    int RowOfKey(int key) const;
    // Writes the current column widths to ".\Sorvanto.ini" (also done at destruction).
    void SaveColumnWidths();

    // A right-click on a row (screen position): a kind-4 request for a row that exists.
    void RowRightClicked(int row, const QPoint& global_pos);
    // A double-click on a row: the category's default command for a row that exists.
    void RowDoubleClicked(int row);

Q_SIGNALS:
    // A row was filled from its record (an item arrived or changed): whatever filters the rows
    // decides about this one.
    void RowFilled(int row);

private:
    bool loaded_ = false;

protected:
    CCategoryList(Category category, std::unique_ptr<CategoryStoreBase> store, ModelSource model,
                  QObject* main_window, QWidget* parent);

    // The column texts and small image of a record.
    virtual std::vector<std::string> RowTextsOf(int key) const = 0;
    virtual int RowImageOf(int /*key*/) const { return -1; }

    // The commands, carried out on CurrentRow() (checked to exist). Categories override those
    // they carry; the defaults do nothing.
    virtual void SendCommand() {}
    virtual void DeleteCommand();
    virtual void EditCommand() {}
    virtual void NewCommand() {}
    virtual void ViewCommand() {}
    virtual void PreviewCommand() {}
    virtual void SaveCommand() {}
    virtual void PlayCommand() {}
    virtual void BrowserCommand() {}
    virtual void DetailsCommand() {}
    // A selection change that selected and focused a row.
    virtual void RowSelected(int /*row*/) {}

    // The key of a row (the user value); -1 when the row does not exist.
    int KeyOfRow(int row) const;
    int CurrentKey() const { return KeyOfRow(current_row_); }
    CategoryStoreBase& StoreRef() const { return *store_; }
    int CurrentModel() const { return model_ ? model_() : -1; }
    void SetCurrentRow(int row) { current_row_ = row; }

    // Requests to the main window; each returns the receiver's answer.
    int PostLog(const std::string& text);
    int PostSend(const SendRequest& request);
    int PostImport(const std::string& path);
    QObject* MainWindow() const;

    // The save-file dialog with the title proposed as file name; the chosen path or nullopt.
    std::optional<std::string> AskSavePath(const std::string& title, const SaveDialogSpec& spec);
    // The built object of kind went to object_file: posts the send request, or logs the build
    // failure when ok is false (nothing is sent then).
    void FinishSend(bool ok, int kind, const std::string& object_name);
    // The scratch file a request kind's object is built into (".\smld.tmp", ...).
    static std::string ObjectFileOf(int kind);

    // StoreObserver: rows follow the store.
    void ItemAdded(Category, int key) override;
    void ItemChanged(Category, int key) override;
    void ItemRemoved(Category, int key) override;
    void LogLine(const std::string& text) override;
    void Failure(const std::string& message, const std::string& caption) override;

    void contextMenuEvent(QContextMenuEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    void SetUpColumns();
    void FillRow(int row, int key);

    Category category_;
    const ListRules& rules_;
    std::unique_ptr<CategoryStoreBase> store_;
    ModelSource model_;
    QPointer<QObject> main_window_;
    Prompt* prompt_;
    int tab_number_ = 0;
    int column_count_ = 0;
    int current_row_ = -1;
};

}  // namespace sorvanto
