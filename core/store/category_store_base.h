#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/ini_file.h"
#include "store/category.h"
#include "store/store_observer.h"

namespace sorvanto {

// What the seven category stores share: the index file with its "Dir" rule, the naming rule
// for new data files, the write-back, and the reports to the observer.
//
// Every change is written to the index file at once (atomically, in the write-back format),
// so a crash loses nothing; inside a batch (BeginBatch/EndBatch, or BatchScope) the index is
// written once, when the outermost batch ends.
class CategoryStoreBase {
public:
    CategoryStoreBase(Category category, std::string index_path, std::string default_dir);
    virtual ~CategoryStoreBase() = default;
    CategoryStoreBase(const CategoryStoreBase&) = delete;
    CategoryStoreBase& operator=(const CategoryStoreBase&) = delete;

    Category GetCategory() const { return category_; }
    const std::string& IndexPath() const { return index_path_; }
    // The data folder as read from "Dir" (Windows form, ending in '\' unless empty).
    const std::string& DataFolder() const { return data_folder_; }

    void SetObserver(StoreObserver* observer) { observer_ = observer; }

    // Reads the index file and the item files; each loaded record is reported as added.
    // Replaces whatever was loaded before. False when the index file cannot be read (a
    // missing index is an empty category, not a failure).
    bool Load();
    // Writes every record to the index file now. False when the file cannot be written.
    bool WriteBack();
    // The close of the list window: writes back and empties the item list.
    bool Close();

    void BeginBatch();
    // Ends a batch; the outermost end writes the index when something changed.
    bool EndBatch();

    virtual int Count() const = 0;
    // The key of the record at a position of the item list; -1 when there is none.
    virtual int KeyAt(int position) const = 0;

    // A read-only store never writes: Load creates no data folder, repairs no file and writes
    // no index (for copies such as the archive, which must leave the store as it is). The
    // sections whose item was not taken (its data file missing or no such item) are kept,
    // so the copy can name what it left out.
    void SetReadOnly(bool read_only) { read_only_ = read_only; }
    bool ReadOnly() const { return read_only_; }
    const std::vector<std::string>& UnloadedSections() const { return unloaded_; }

    // Grows with every record added, changed or removed (and at each load), so that what is
    // derived from the records (a search index) knows when to build itself again.
    std::uint64_t Revision() const { return revision_; }

    // An incoming item identical to a stored one was left out: its "...は登録済みです" line,
    // held like a registration's line until the open batch ends.
    void LogAlreadyStored(const std::string& title);

protected:
    // Per category: forget every record; read section "Item%d" into a new record (nothing
    // when the item is not loaded); write every record in list order, returning how many.
    virtual void ClearItems() = 0;
    virtual void LoadItem(const IniFile& index, const std::string& section) = 0;
    virtual int WriteItems(IniFile& index) const = 0;

    // After a change: writes the index unless a batch is open. A failed write is reported as
    // a failure the user sees, because the change would otherwise be lost at a crash.
    bool Changed();
    void NoteUnloaded(const std::string& section) { unloaded_.push_back(section); }
    // A record was changed while loading (a repaired melody): the index is written when the
    // load ends, so it matches the files again.
    void ChangedWhileLoading() { changed_while_loading_ = true; }

    // The naming rule: data folder + "%08X%02X" of the time and the tick's low byte, taken
    // anew while that name exists. CreateDataFile names a new data file and writes bytes into
    // it; entry_time receives the time of the name used, nullopt when no file could be written
    // (none is left behind). The file is not flushed on its own: the next index write flushes
    // every new data file with the new index, before the index takes its name, so a batch of a
    // thousand files costs one flush, and no index ever names a file that is not on disk.
    std::optional<std::string> CreateDataFile(std::string_view bytes, std::int64_t& entry_time);
    // Uses up the name a data file would have had, creating nothing: rejected bytes take their
    // turn as accepted ones do, so the names of the items after them do not depend on it.
    void SkipDataFileName();

    // A value read from the index, cut to what the reader's buffer held.
    static std::string ReadText(const IniFile& index, const std::string& section, std::string_view key,
                                std::size_t max_bytes);

    void ReportAdded(int key) const;
    void ReportChanged(int key) const;
    void ReportRemoved(int key) const;
    // A log line, handed to the observer after the index write of the change it reports
    // (Changed, or the end of the batch): call it before that Changed.
    void LogTitle(const std::string& pattern, const std::string& title) const;
    void ReportFailure() const;

private:
    enum class NameClaim { kTaken, kClaimed, kFailed };
    // Walks the naming rule's candidates; claim says whether the file system had one free
    // (and takes it). Returns the value of the name claimed, or -1 when claiming failed.
    std::int64_t ChooseDataFileName(const std::function<NameClaim(const std::string&)>& claim);
    bool WriteIndex();
    void Bump() const;
    // Hands the held log lines to the observer.
    void FlushLog() const;

    Category category_;
    std::string index_path_;
    std::string default_dir_;
    std::string data_folder_;
    StoreObserver* observer_ = nullptr;
    mutable std::uint64_t revision_ = 0;
    int batch_depth_ = 0;
    bool dirty_ = false;
    bool changed_while_loading_ = false;
    bool read_only_ = false;
    std::vector<std::string> unflushed_files_;  // data files not yet flushed to disk
    std::int64_t last_name_value_ = -1;  // time * 256 + tick byte of the last name given
    // Names this store gave out: known taken without asking the file system. One that has
    // since gone only makes the next name skip it.
    std::unordered_set<std::int64_t> given_names_;
    mutable std::vector<std::string> pending_log_;
    std::vector<std::string> unloaded_;  // log lines of the open batch
};

// Opens a batch for its lifetime.
class BatchScope {
public:
    explicit BatchScope(CategoryStoreBase& store) : store_(store) { store_.BeginBatch(); }
    ~BatchScope() { store_.EndBatch(); }
    BatchScope(const BatchScope&) = delete;
    BatchScope& operator=(const BatchScope&) = delete;

private:
    CategoryStoreBase& store_;
};

}  // namespace sorvanto
