#pragma once

#include "lists/category_list_of.h"
#include "store/bookmark_store.h"

namespace sorvanto {

// Bookmarks: dropped ".url" shortcuts, comment, save as a shortcut, open in the browser.
class CBookmarkList : public CategoryListOf<BookmarkStore> {
public:
    CBookmarkList(ModelSource model, QObject* main_window, QWidget* parent);

    void ImportFile(const std::string& path) override;

protected:
    void SendCommand() override;
    void EditCommand() override;
    void SaveCommand() override;
    void BrowserCommand() override;
};

}  // namespace sorvanto
