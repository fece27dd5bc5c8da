#pragma once

#include <QTreeWidget>
#include <memory>

#include "app/category_page.h"
#include "store/store_observer.h"

namespace sorvanto {

// A read-only list of one category's rows, used when no list window is given to the tab view
// (the command-line-like views of the tests and the first-window benchmark). It owns and loads
// the category's store and sends the store's log lines to the main window.
class PlainCategoryPage : public QTreeWidget, public CategoryPage, private StoreObserver {
    Q_OBJECT
public:
    PlainCategoryPage(Category category, QWidget* parent);
    ~PlainCategoryPage() override;

    QWidget* Widget() override { return this; }
    Category GetCategory() const override { return category_; }
    CategoryStoreBase& Store() override { return *store_; }
    void ImportFile(const std::string& path) override;
    void OnCommand(int) override {}
    bool IsCommandSupported(int) override { return false; }

private:
    void ItemAdded(Category, int key) override;
    void ItemRemoved(Category, int key) override;
    void LogLine(const std::string& text) override;
    void Failure(const std::string& message, const std::string& caption) override;
    QStringList RowOf(int key) const;

    Category category_;
    std::unique_ptr<CategoryStoreBase> store_;
};

}  // namespace sorvanto
