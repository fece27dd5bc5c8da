#pragma once

#include <memory>

#include "lists/category_list.h"
#include "lists/prompt.h"
#include "store/row_texts.h"

namespace sorvanto {

// A category list over a store of one record type: typed access to the records, the row
// texts, and the single-row delete with its question.
template <class StoreT>
class CategoryListOf : public CCategoryList {
public:
    StoreT& TypedStore() const { return static_cast<StoreT&>(StoreRef()); }

protected:
    CategoryListOf(Category category, std::unique_ptr<StoreT> store, ModelSource model, QObject* main_window,
                   QWidget* parent)
        : CCategoryList(category, std::move(store), std::move(model), main_window, parent) {}

    // The record of the current row; null when there is none.
    auto* CurrentItem() const { return typed()->Find(CurrentKey()); }
    auto* ItemOfRow(int row) const { return typed()->Find(KeyOfRow(row)); }

    std::vector<std::string> RowTextsOf(int key) const override {
        const auto* item = typed()->Find(key);
        return item ? RowTexts(*item) : std::vector<std::string>();
    }

    void DeleteCommand() override {
        const int key = CurrentKey();
        if (!typed()->Find(key)) return;
        if (GetPrompt().Ask(this, typed()->DeleteQuestion(key), Prompt::Icon::kNone)) typed()->Delete(key);
    }

private:
    StoreT* typed() const { return &TypedStore(); }
};

}  // namespace sorvanto
