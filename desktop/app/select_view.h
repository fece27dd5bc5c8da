#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/category_page.h"
#include "search/store_refs.h"

class QMenuBar;

namespace sorvanto {

class CSearchBar;
class CtnListCtrl;
class CtnTabCtrl;

// The upper pane: one tab per category the model offers, each holding that category's list.
// It switches the menu bar to the current tab's menu, forwards the record commands to the
// current list, hands dropped files to it, and finds each category's store for the importers
// (an object of a category the model does not offer is dropped).
class CSelectView : public QWidget {
    Q_OBJECT
public:
    using ModelSource = std::function<int()>;
    using CommandHandler = std::function<void(int id)>;
    using PageFactory = std::function<CategoryPage*(Category, QWidget* parent)>;

    struct CategoryTab {
        unsigned bit;
        Category category;
        const char* text;  // UTF-8
        int page_id;
        int menu_template;
    };
    static const std::array<CategoryTab, 7>& Tabs();
    // The categories a model offers, as a mask of the tab bits.
    static unsigned MaskOf(int model);

    CSelectView(ModelSource model, QMenuBar* menu_bar, CommandHandler on_command, QWidget* parent = nullptr);
    ~CSelectView() override;

    // Makes the list windows; without one the view makes the category list windows, loaded,
    // with the small images, sending their requests to the main window.
    void SetPageFactory(PageFactory factory) { factory_ = std::move(factory); }
    // The receiver of the lists' requests (log, send, context menu, import); this view's
    // top-level window when none is set.
    void SetMainWindow(QObject* main_window) { main_window_ = main_window; }

    void BuildTabs();
    // Destroys the tabs with their lists (which write their indexes back) and builds them anew.
    void RebuildTabs();

    void DoCommand(int id);
    bool IsCommandEnabled(int id) const;
    void OnTabChanged(int index, QWidget* page);

    int TabCount() const;
    QString TabText(int index) const;
    int CurrentIndex() const;
    void SelectTab(int index);
    // The list of a category, or null when the model does not offer it. Lists load after the
    // first paint: a caller that reads or changes one calls EnsureLoaded first.
    CategoryPage* PageOf(Category c) const;
    static void EnsureLoaded(CategoryPage* page);
    // Loads every list that has not loaded yet.
    void LoadAll();
    CategoryPage* CurrentPage() const;
    // Times the tabs were built (tests see whether a model change rebuilt them).
    int BuildCount() const { return build_count_; }

    // The stores of the lists the model offers (the others null), for the search and the tidy.
    StoreRefs Stores() const;
    // Shows the item of a key in its tab, selected and scrolled to; false when there is no
    // such list or row.
    bool ShowItem(Category c, int key);
    // Every row of every list shown again (the search bar's filter undone).
    void ShowAllRows();
    // The search bar above the tabs, made on first use and focused.
    void ShowSearchBar();
    CSearchBar* SearchBar() const { return search_bar_; }
    int CurrentMenuTemplate() const { return menu_template_; }

    // The store of a category's list, loaded first; null when the model shows no such list.
    // The importers' objects go through it (StoreImportSink).
    CategoryStoreBase* LoadedStore(Category c) const;
    // The composer's requests.
    int MailRequest(int kind, const MailRecord& record);
    int GetAddressEntry(int position, int mail_index, std::string* name, std::string* address);
    int GetMelody(int position, std::string* title, std::string* path);

Q_SIGNALS:
    // The current tab changed (its menu is in the bar).
    void TabChanged();
    // A list filled a row from its store (an item arrived or changed).
    void RowFilled(CtnListCtrl* list, Category category, int row);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void DestroyTabs();
    void FillMenuBar(int menu_template);
    CategoryPage* MakePage(Category category);
    // Loads the next list that has not loaded, then lets the event loop run before the next;
    // stops when the tabs were rebuilt meanwhile.
    void LoadNextInBackground(int build);

    ModelSource model_;
    QMenuBar* menu_bar_;
    CommandHandler on_command_;
    PageFactory factory_;
    QPointer<QObject> main_window_;
    CtnTabCtrl* tabs_ = nullptr;
    CSearchBar* search_bar_ = nullptr;
    std::array<CategoryPage*, 7> pages_{};
    int build_count_ = 0;
    int menu_template_ = 0;
};

}  // namespace sorvanto
