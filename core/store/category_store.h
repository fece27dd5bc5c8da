#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/locked_list.h"
#include "platform/fs.h"
#include "store/category_store_base.h"
#include "store/store_texts.h"

namespace sorvanto {

// A category's records in a LockedList, in load order and then registration order, each
// under the key its list row carries. Per-category code says how a record is read from and
// written to the index, which file it owns and which title its log lines name.
template <class Item>
class CategoryStore : public CategoryStoreBase {
public:
    using CategoryStoreBase::CategoryStoreBase;

    int Count() const override { return items_.Count(); }
    const LockedList<Item>& Items() const { return items_; }

    // The record of a key, or null.
    const Item* Find(int key) const {
        auto it = by_key_.find(key);
        return it == by_key_.end() ? nullptr : it->second->data.get();
    }
    // The record at a position of the item list (not of the screen), or null.
    const Item* At(int position) const {
        auto* node = items_.At(position);
        return node ? node->data.get() : nullptr;
    }
    int KeyAt(int position) const override {
        auto* node = items_.At(position);
        return node ? node->key : -1;
    }
    // Keys in list order.
    std::vector<int> Keys() const {
        std::vector<int> keys;
        keys.reserve(static_cast<std::size_t>(items_.Count()));
        items_.ForEach([&](const auto& node) { keys.push_back(node.key); });
        return keys;
    }

    // The question asked before a delete, with the item's title.
    std::string DeleteQuestion(int key) const {
        const Item* item = Find(key);
        return item ? FormatTitle(Texts().Of(GetCategory()).confirm, TitleOf(*item), 1023) : std::string();
    }

    // Logs the deletion line, deletes the record's data file (one already gone is no error)
    // and the record. False when no record has the key.
    bool Delete(int key) {
        auto it = by_key_.find(key);
        if (it == by_key_.end()) return false;
        auto* node = it->second;
        LogTitle(Texts().Of(GetCategory()).deleted, TitleOf(*node->data));
        const std::string path = DataPathOf(*node->data);
        if (!path.empty()) fs::DeleteFile(path);
        by_key_.erase(it);
        items_.Remove(node);
        ReportRemoved(key);
        Changed();
        return true;
    }

protected:
    virtual std::string TitleOf(const Item& item) const = 0;
    // The data file the record owns; empty when none.
    virtual std::string DataPathOf(const Item&) const { return {}; }
    // Reads a section into a record; false when the item is not to be loaded.
    virtual bool ReadItem(const IniFile& index, const std::string& section, Item& item) = 0;
    virtual void WriteItem(IniFile& index, const std::string& section, const Item& item) const = 0;

    Item* FindMutable(int key) {
        auto it = by_key_.find(key);
        return it == by_key_.end() ? nullptr : it->second->data.get();
    }

    // Appends a record under the next free key and reports it; returns the key.
    int Add(std::unique_ptr<Item> item) {
        while (by_key_.count(next_key_)) ++next_key_;
        const int key = next_key_++;
        auto* node = items_.AddOwned(key, static_cast<int>(sizeof(Item)), std::move(item));
        by_key_.emplace(key, node);
        ReportAdded(key);
        return key;
    }

    // A registration: adds, logs, and writes the index.
    int AddRegistered(std::unique_ptr<Item> item) {
        const std::string title = TitleOf(*item);
        const int key = Add(std::move(item));
        LogTitle(Texts().Of(GetCategory()).registered, title);
        Changed();
        return key;
    }

    // A registration of a record whose data file holds bytes: lets fill complete the record
    // from the bytes in hand (never from the file written), names the file and writes it
    // (item->path, item->entry_time), and adds the record. Bytes that fill rejects, or a failed
    // write, leave no file behind and are reported to the user; false then.
    template <class Fill>
    bool RegisterData(std::string_view bytes, std::unique_ptr<Item> item, int* key, Fill fill) {
        if (!fill(*item)) {
            SkipDataFileName();
            ReportFailure();
            return false;
        }
        auto path = CreateDataFile(bytes, item->entry_time);
        if (!path) {
            ReportFailure();
            return false;
        }
        item->path = std::move(*path);
        const int k = AddRegistered(std::move(item));
        if (key) *key = k;
        return true;
    }
    bool RegisterData(std::string_view bytes, std::unique_ptr<Item> item, int* key) {
        return RegisterData(bytes, std::move(item), key, [](Item&) { return true; });
    }
    // A source file that cannot be read: reported like a failed write.
    bool SourceUnreadable() const {
        ReportFailure();
        return false;
    }

    // A record's fields changed: report it and write the index.
    void Touch(int key) {
        ReportChanged(key);
        Changed();
    }

    void ClearItems() override {
        items_.Clear();
        by_key_.clear();
    }

    void LoadItem(const IniFile& index, const std::string& section) override {
        auto item = std::make_unique<Item>();
        if (ReadItem(index, section, *item)) Add(std::move(item));
        else NoteUnloaded(section);
    }

    int WriteItems(IniFile& index) const override {
        int n = 0;
        items_.ForEach([&](const auto& node) { WriteItem(index, "Item" + std::to_string(n++), *node.data); });
        return n;
    }

private:
    LockedList<Item> items_;
    std::unordered_map<int, typename LockedList<Item>::Node*> by_key_;
    int next_key_ = 0;
};

}  // namespace sorvanto
