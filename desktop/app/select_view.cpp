#include "app/select_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app_fonts.h"
#include "app/app_icons.h"
#include "app/command_ids.h"
#include "app/menu_templates.h"
#include "app/search_bar.h"
#include "controls/ctn_tab_ctrl.h"
#include "controls/owner_draw_menu_style.h"
#include "lists/category_list.h"
#include "store/address_store.h"
#include "store/bookmark_store.h"
#include "store/mail_store.h"
#include "store/melody_store.h"
#include "store/picture_store.h"

namespace sorvanto {

namespace {
constexpr int kMaxDroppedPath = 260;

// One look for every menu of the bar, kept for the life of the process: menus of a previous
// tab may still be waiting for deletion when the view goes.
OwnerDrawMenuStyle* MenuStyle(const QFont& font) {
    static auto* style = new OwnerDrawMenuStyle(OwnerDrawMenuStyle::MenuBarLook(font));
    return style;
}

template <class Store>
Store* StoreOf(CategoryPage* page) {
    CSelectView::EnsureLoaded(page);
    return page ? dynamic_cast<Store*>(&page->Store()) : nullptr;
}
}  // namespace

const std::array<CSelectView::CategoryTab, 7>& CSelectView::Tabs() {
    static const std::array<CategoryTab, 7> tabs{{
        {0x01, Category::kMelody, "着メロ", 10001, 145},
        {0x02, Category::kPicture, "待ち受け", 10002, 149},
        {0x04, Category::kBookmark, "ブックマーク", 10003, 146},
        {0x08, Category::kOutMail, "送信メール", 10008, 150},
        {0x10, Category::kInMail, "受信メール", 10007, 152},
        {0x20, Category::kAddress, "アドレス帳", 10006, 153},
        {0x40, Category::kMyPic, "カメラ写真", 10009, 195},
    }};
    return tabs;
}

unsigned CSelectView::MaskOf(int model) {
    switch (model) {
    case 0: return 0x3D;
    case 1:
    case 2:
    case 8: return 0x7F;
    case 4: return 0x7D;
    case 7: return 0x23;
    default: return 0x20;
    }
}

CSelectView::CSelectView(ModelSource model, QMenuBar* menu_bar, CommandHandler on_command, QWidget* parent)
    : QWidget(parent), model_(std::move(model)), menu_bar_(menu_bar), on_command_(std::move(on_command)) {
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    setFont(AppFonts::Gothic(12));
}

CSelectView::~CSelectView() { DestroyTabs(); }

void CSelectView::BuildTabs() {
    tabs_ = new CtnTabCtrl(this);
    tabs_->setObjectName(QStringLiteral("MainTab"));
    tabs_->setFont(font());
    tabs_->Init(8);
    tabs_->SetColours(2, 0x885533, 0x800000, 0xFFFFFF, 0, 0xFF8C8C, 0x00FFFF, 2, 0);
    tabs_->SetImages(AppIcons::SmallImages());
    layout()->addWidget(tabs_);
    const unsigned mask = MaskOf(model_ ? model_() : -1);
    for (std::size_t i = 0; i < Tabs().size(); ++i) {
        const auto& tab = Tabs()[i];
        if (!(mask & tab.bit)) continue;
        CategoryPage* page = MakePage(tab.category);
        if (!page) continue;
        page->Widget()->setProperty("pageId", tab.page_id);
        if (auto* list = dynamic_cast<CCategoryList*>(page))
            connect(list, &CCategoryList::RowFilled, this,
                    [this, list](int row) { Q_EMIT RowFilled(list, list->GetCategory(), row); });
        pages_[i] = page;
        tabs_->AddPage(QString::fromUtf8(tab.text), page->Widget());
    }
    ++build_count_;
    connect(tabs_, &CtnTabCtrl::TabChanged, this, [this](QWidget* page, int index) { OnTabChanged(index, page); });
    tabs_->SelectPage(0, true);
    OnTabChanged(0, tabs_->CurrentPage());
    // The other lists load once the first window is painted: the first hop runs with the
    // events of the start, the second after them.
    const int build = build_count_;
    QTimer::singleShot(0, this, [this, build] { QTimer::singleShot(0, this, [this, build] { LoadNextInBackground(build); }); });
}

void CSelectView::EnsureLoaded(CategoryPage* page) {
    if (auto* list = dynamic_cast<CCategoryList*>(page)) list->EnsureLoaded();
}

void CSelectView::LoadAll() {
    for (CategoryPage* page : pages_) EnsureLoaded(page);
}

void CSelectView::LoadNextInBackground(int build) {
    if (build != build_count_ || !tabs_) return;
    for (CategoryPage* page : pages_) {
        auto* list = dynamic_cast<CCategoryList*>(page);
        if (!list || list->IsLoaded()) continue;
        list->Load();
        QTimer::singleShot(0, this, [this, build] { LoadNextInBackground(build); });
        return;
    }
}

CategoryPage* CSelectView::MakePage(Category category) {
    if (factory_) return factory_(category, tabs_);
    QObject* main = main_window_ ? main_window_.data() : static_cast<QObject*>(window());
    CCategoryList* list = CCategoryList::Create(category, model_, main, tabs_);
    list->SetSmallImages(AppIcons::SmallImages());
    return list;
}

void CSelectView::DestroyTabs() {
    if (search_bar_) search_bar_->Forget();
    pages_.fill(nullptr);
    // The pages go with the tab control; each list writes its index back as it goes.
    delete tabs_;
    tabs_ = nullptr;
}

void CSelectView::RebuildTabs() {
    DestroyTabs();
    BuildTabs();
}

CategoryPage* CSelectView::PageOf(Category c) const {
    for (std::size_t i = 0; i < Tabs().size(); ++i)
        if (Tabs()[i].category == c) return pages_[i];
    return nullptr;
}

CategoryPage* CSelectView::CurrentPage() const {
    if (!tabs_) return nullptr;
    QWidget* w = tabs_->CurrentPage();
    for (CategoryPage* p : pages_)
        if (p && p->Widget() == w) return p;
    return nullptr;
}

StoreRefs CSelectView::Stores() const {
    StoreRefs s;
    s.melody = StoreOf<MelodyStore>(PageOf(Category::kMelody));
    s.picture = StoreOf<PictureStore>(PageOf(Category::kPicture));
    s.bookmark = StoreOf<BookmarkStore>(PageOf(Category::kBookmark));
    s.out_mail = StoreOf<MailStore>(PageOf(Category::kOutMail));
    s.in_mail = StoreOf<MailStore>(PageOf(Category::kInMail));
    s.address = StoreOf<AddressStore>(PageOf(Category::kAddress));
    s.my_pic = StoreOf<PictureStore>(PageOf(Category::kMyPic));
    return s;
}

bool CSelectView::ShowItem(Category c, int key) {
    CategoryPage* page = PageOf(c);
    auto* list = page ? dynamic_cast<CCategoryList*>(page->Widget()) : nullptr;
    if (!list || !tabs_) return false;
    const int row = list->RowOfKey(key);
    if (row < 0) return false;
    // The tab index of the page: the pages the model offers, in tab order.
    int index = 0;
    for (CategoryPage* p : pages_) {
        if (p == page) break;
        if (p) ++index;
    }
    SelectTab(index);
    list->setRowHidden(row, QModelIndex(), false);
    list->SelectRow(row);
    list->scrollTo(list->Model()->index(row, 0));
    list->setFocus();
    return true;
}

void CSelectView::ShowAllRows() {
    for (CategoryPage* page : pages_) {
        auto* list = page ? dynamic_cast<CtnListCtrl*>(page->Widget()) : nullptr;
        if (!list) continue;
        for (int row = 0; row < list->RowCount(); ++row)
            if (list->isRowHidden(row, QModelIndex())) list->setRowHidden(row, QModelIndex(), false);
    }
}

void CSelectView::ShowSearchBar() {
    if (!search_bar_) {
        search_bar_ = new CSearchBar(*this, this);
        static_cast<QVBoxLayout*>(layout())->insertWidget(0, search_bar_, 0);
    }
    // The lists keep the room; the bar takes what it needs.
    if (tabs_) static_cast<QVBoxLayout*>(layout())->setStretchFactor(tabs_, 1);
    search_bar_->Open();
}

int CSelectView::TabCount() const { return tabs_ ? tabs_->TabBar()->count() : 0; }
QString CSelectView::TabText(int index) const { return tabs_ ? tabs_->TabBar()->tabText(index) : QString(); }
int CSelectView::CurrentIndex() const { return tabs_ ? tabs_->CurrentIndex() : -1; }
// As the user's click does: the tab bar's change shows the page and tells the listener.
void CSelectView::SelectTab(int index) {
    if (tabs_) tabs_->TabBar()->setCurrentIndex(index);
}

void CSelectView::DoCommand(int id) {
    CategoryPage* page = CurrentPage();
    EnsureLoaded(page);
    if (page) page->OnCommand(id);
}

bool CSelectView::IsCommandEnabled(int id) const {
    CategoryPage* page = CurrentPage();
    return page && page->IsCommandSupported(id);
}

void CSelectView::OnTabChanged(int, QWidget* page) {
    int menu = MenuTemplates::kDefaultMenu;
    for (std::size_t i = 0; i < Tabs().size(); ++i) {
        if (!pages_[i] || !page || pages_[i]->Widget() != page) continue;
        menu = Tabs()[i].menu_template;
        EnsureLoaded(pages_[i]);  // a list is whole before it is shown
    }
    FillMenuBar(menu);
    Q_EMIT TabChanged();
}

void CSelectView::FillMenuBar(int menu_template) {
    menu_template_ = menu_template;
    if (!menu_bar_) return;
    // The bar check marks belong to the window, not to the tab's menu.
    bool tool_bar = true, status_bar = true;
    for (QAction* top : menu_bar_->actions()) {
        if (!top->menu()) continue;
        for (QAction* a : top->menu()->actions()) {
            if (a->data().toInt() == cmd::kToolBar) tool_bar = a->isChecked();
            if (a->data().toInt() == cmd::kStatusBar) status_bar = a->isChecked();
        }
    }
    menu_bar_->clear();
    for (QMenu* old : menu_bar_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) old->deleteLater();
    for (const auto& popup : MenuTemplates::Menu(menu_template)) {
        QMenu* menu = menu_bar_->addMenu(QString::fromUtf8(popup.text));
        for (const auto& item : popup.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* a = menu->addAction(AppIcons::Command(item.id), QString::fromUtf8(item.text));
            a->setData(item.id);
            if (item.id == cmd::kToolBar || item.id == cmd::kStatusBar) {
                a->setCheckable(true);
                a->setChecked(item.id == cmd::kToolBar ? tool_bar : status_bar);
            }
            const int id = item.id;
            connect(a, &QAction::triggered, this, [this, id] {
                if (on_command_) on_command_(id);
            });
        }
        MenuStyle(menu->font())->Convert(menu);
        // Room for the shortcut column the style keeps clear at the right (see the context menu).
        menu->setMinimumWidth(menu->sizeHint().width() + MenuStyle(menu->font())->ShortcutColumn());
        // Commands the current list cannot carry out are greyed each time the menu opens.
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            for (QAction* a : menu->actions()) {
                const int id = a->data().toInt();
                if (cmd::IsListCommand(id)) a->setEnabled(IsCommandEnabled(id));
            }
        });
    }
    menu_bar_->update();
}

void CSelectView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CSelectView::dropEvent(QDropEvent* event) {
    CategoryPage* page = CurrentPage();
    EnsureLoaded(page);
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile() || !page) continue;
        // UTF-8, the form the core reads an absolute path in (not the Windows code page).
        const std::string path = url.toLocalFile().toStdString();
        if (path.size() < kMaxDroppedPath) page->ImportFile(path);
    }
    event->acceptProposedAction();
}

CategoryStoreBase* CSelectView::LoadedStore(Category c) const {
    CategoryPage* page = PageOf(c);
    EnsureLoaded(page);
    return page ? &page->Store() : nullptr;
}

int CSelectView::MailRequest(int kind, const MailRecord& record) {
    CategoryPage* page = PageOf(Category::kOutMail);
    EnsureLoaded(page);
    return page ? page->MailRequest(kind, record) : 0;
}

int CSelectView::GetAddressEntry(int position, int mail_index, std::string* name, std::string* address) {
    CategoryPage* page = PageOf(Category::kAddress);
    EnsureLoaded(page);
    return page ? page->GetAddressEntry(position, mail_index, name, address) : 0;
}

int CSelectView::GetMelody(int position, std::string* title, std::string* path) {
    CategoryPage* page = PageOf(Category::kMelody);
    EnsureLoaded(page);
    return page ? page->GetMelody(position, title, path) : 0;
}

}  // namespace sorvanto
