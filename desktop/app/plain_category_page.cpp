#include "app/plain_category_page.h"

#include <QMessageBox>

#include "app/copy_data_event.h"
#include "common/sjis.h"
#include "store/address_store.h"
#include "store/bookmark_store.h"
#include "store/mail_store.h"
#include "store/melody_store.h"
#include "store/picture_store.h"
#include "store/row_texts.h"

namespace sorvanto {

namespace {

std::unique_ptr<CategoryStoreBase> MakeStore(Category c) {
    switch (c) {
    case Category::kMelody: return std::make_unique<MelodyStore>();
    case Category::kPicture:
    case Category::kMyPic: return std::make_unique<PictureStore>(c);
    case Category::kBookmark: return std::make_unique<BookmarkStore>();
    case Category::kOutMail:
    case Category::kInMail: return std::make_unique<MailStore>(c);
    case Category::kAddress: return std::make_unique<AddressStore>();
    }
    return nullptr;
}

template <class Store>
std::vector<std::string> TextsOf(const CategoryStoreBase& base, int key) {
    const auto* item = static_cast<const Store&>(base).Find(key);
    return item ? RowTexts(*item) : std::vector<std::string>();
}

QString Text(const std::string& sjis) { return QString::fromStdString(sjis::ToUtf8(sjis)); }

}  // namespace

PlainCategoryPage::PlainCategoryPage(Category category, QWidget* parent)
    : QTreeWidget(parent), category_(category), store_(MakeStore(category)) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setHeaderHidden(true);
    store_->SetObserver(this);
    store_->Load();
}

PlainCategoryPage::~PlainCategoryPage() {
    store_->SetObserver(nullptr);
    store_->Close();
}

void PlainCategoryPage::ImportFile(const std::string& path) {
    CopyDataEvent::Send(window(), static_cast<int>(RequestKind::ImportFile), CopyDataEvent::TextBytes(path, 260));
}

QStringList PlainCategoryPage::RowOf(int key) const {
    std::vector<std::string> texts;
    switch (category_) {
    case Category::kMelody: texts = TextsOf<MelodyStore>(*store_, key); break;
    case Category::kPicture:
    case Category::kMyPic: texts = TextsOf<PictureStore>(*store_, key); break;
    case Category::kBookmark: texts = TextsOf<BookmarkStore>(*store_, key); break;
    case Category::kOutMail:
    case Category::kInMail: texts = TextsOf<MailStore>(*store_, key); break;
    case Category::kAddress: texts = TextsOf<AddressStore>(*store_, key); break;
    }
    QStringList row;
    for (const auto& t : texts) row << Text(t);
    return row;
}

void PlainCategoryPage::ItemAdded(Category, int key) {
    const QStringList row = RowOf(key);
    if (columnCount() < row.size()) setColumnCount(static_cast<int>(row.size()));
    auto* item = new QTreeWidgetItem(this, row);
    item->setData(0, Qt::UserRole, key);
}

void PlainCategoryPage::ItemRemoved(Category, int key) {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->data(0, Qt::UserRole).toInt() == key) delete takeTopLevelItem(i--);
}

void PlainCategoryPage::LogLine(const std::string& text) {
    CopyDataEvent::Send(window(), static_cast<int>(RequestKind::Log), CopyDataEvent::TextBytes(text, kLogTextSize));
}

void PlainCategoryPage::Failure(const std::string& message, const std::string& caption) {
    QMessageBox::warning(this, Text(caption), Text(message));
}

}  // namespace sorvanto
