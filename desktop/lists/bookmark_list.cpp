#include "lists/bookmark_list.h"

#include "formats/bookmark_send_job.h"
#include "formats/send_request_table.h"
#include "store/item_export.h"
#include "store/exports.h"

namespace sorvanto {

CBookmarkList::CBookmarkList(ModelSource model, QObject* main_window, QWidget* parent)
    : CategoryListOf(Category::kBookmark, std::make_unique<BookmarkStore>(), std::move(model), main_window, parent) {}

void CBookmarkList::ImportFile(const std::string& path) {
    if (!TypedStore().ImportShortcut(path)) PostImport(path);
}

void CBookmarkList::SendCommand() {
    const BookmarkItem* item = CurrentItem();
    if (!item) return;
    BookmarkSendJob job(CurrentModel(), 0);
    std::string name;
    const int kind = SendRequestTable::kBookmark;
    const bool ok = job.BuildBookmark(item->title, item->url, ObjectFileOf(kind), name) == 1;
    FinishSend(ok, kind, name);
}

void CBookmarkList::EditCommand() {
    const int key = CurrentKey();
    const BookmarkItem* item = CurrentItem();
    if (!item) return;
    if (auto comment = GetPrompt().EditComment(this, item->comment)) TypedStore().SetComment(key, *comment);
}

void CBookmarkList::SaveCommand() {
    const BookmarkItem* item = CurrentItem();
    if (!item) return;
    if (auto target = AskSavePath(item->title, SaveSpecOf(Category::kBookmark)))
        ExportItem(TypedStore(), CurrentKey(), *target);
}

void CBookmarkList::BrowserCommand() {
    const BookmarkItem* item = CurrentItem();
    if (!item) return;
    if (!IsBrowsableUrl(item->url) || !GetPrompt().OpenUrl(item->url))
        GetPrompt().Tell(this, BrowserFailureText(), Prompt::Icon::kExclamation);
}

}  // namespace sorvanto
