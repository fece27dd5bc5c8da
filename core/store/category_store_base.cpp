#include "store/category_store_base.h"

#include <algorithm>
#include <atomic>

#include "common/sjis.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "store/store_texts.h"
#include "store/stored_path.h"

namespace sorvanto {

namespace {

// "Item12" -> 12; -1 for any other section name.
long long ItemNumber(std::string_view name) {
    if (name.size() < 5 || name.size() > 14) return -1;
    static constexpr std::string_view kPrefix = "item";
    for (std::size_t i = 0; i < kPrefix.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kPrefix[i]) return -1;
    }
    long long n = 0;
    for (std::size_t i = kPrefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// The folder and ten upper-case hex digits: eight of the seconds, two of the tick byte (as
// "%08X%02X" would print them, without a printf call per name).
std::string NameOf(const std::string& folder, std::int64_t value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::uint64_t digits = ((static_cast<std::uint64_t>(value) >> 8) & 0xFFFFFFFFu) << 8 |
                                 (static_cast<std::uint64_t>(value) & 0xFF);
    std::string name;
    name.reserve(folder.size() + 10);
    name += folder;
    for (int shift = 36; shift >= 0; shift -= 4) name += kHex[(digits >> shift) & 0xF];
    return name;
}

}  // namespace

CategoryStoreBase::CategoryStoreBase(Category category, std::string index_path, std::string default_dir)
    : category_(category), index_path_(std::move(index_path)), default_dir_(std::move(default_dir)),
      data_folder_(default_dir_) {}

std::string CategoryStoreBase::ReadText(const IniFile& index, const std::string& section, std::string_view key,
                                        std::size_t max_bytes) {
    return sjis::CutBytes(index.GetString(section, key), max_bytes);
}

bool CategoryStoreBase::Load() {
    ClearItems();
    Bump();
    dirty_ = false;
    changed_while_loading_ = false;
    unloaded_.clear();
    IniFile index;
    const bool exists = fs::Exists(index_path_);
    if (!index.Load(index_path_) && exists) return false;

    std::string dir = sjis::CutBytes(index.GetString("System", "Dir", default_dir_), 255);
    // A folder outside the working folder is not ours to write into: keep the default.
    if (!IsInsideWorkingFolder(dir)) dir = default_dir_;
    data_folder_ = dir;
    if (!data_folder_.empty() && !read_only_) fs::CreateFolder(data_folder_);

    // Count is only a promise: a huge or negative one must not make us walk sections that
    // are not there, so the walk ends after the highest item section the file holds.
    const long long count = index.GetInt("System", "Count", 0);
    long long highest = -1;
    for (const std::string& name : index.Sections()) highest = std::max(highest, ItemNumber(name));
    const long long limit = std::min(count, highest + 1);
    for (long long i = 0; i < limit; ++i) {
        const std::string section = "Item" + std::to_string(i);
        if (index.HasSection(section)) LoadItem(index, section);
    }
    if (changed_while_loading_ && !read_only_ && !WriteIndex()) dirty_ = true;
    return true;
}

bool CategoryStoreBase::WriteIndex() {
    // Read the file anew: other writers keep their own keys in it (the player's volume in the
    // melody index), and those must survive our rewrite.
    IniFile index(index_path_);
    const long long old_count = index.GetInt("System", "Count", 0);
    const int n = WriteItems(index);
    for (const std::string& name : index.Sections()) {
        const long long i = ItemNumber(name);
        if (i >= n && i < old_count) index.DeleteSection(name);
    }
    index.SetInt("System", "Count", n);
    if (unflushed_files_.empty()) {
        if (!index.Save()) return false;
    } else {
        // New data files and the index that names them go to the disk in one flush, and the
        // index takes its name only after it: no index ever names a file that is not there.
        if (!fs::WriteFileAtomicWithFiles(index_path_, index.Serialize(), data_folder_, unflushed_files_)) return false;
        unflushed_files_.clear();
    }
    dirty_ = false;
    return true;
}

bool CategoryStoreBase::WriteBack() { return WriteIndex(); }

bool CategoryStoreBase::Close() {
    const bool ok = WriteIndex();
    ClearItems();
    Bump();
    return ok;
}

void CategoryStoreBase::BeginBatch() { ++batch_depth_; }

bool CategoryStoreBase::EndBatch() {
    if (batch_depth_ == 0) return true;
    if (--batch_depth_ > 0) return true;
    const bool ok = !dirty_ || WriteIndex();
    if (!ok) ReportFailure();
    FlushLog();
    return ok;
}

bool CategoryStoreBase::Changed() {
    if (batch_depth_ > 0) {
        dirty_ = true;
        return true;
    }
    const bool ok = WriteIndex();
    if (!ok) {
        dirty_ = true;  // the close will try again
        ReportFailure();
    }
    FlushLog();
    return ok;
}

std::int64_t CategoryStoreBase::ChooseDataFileName(const std::function<NameClaim(const std::string&)>& claim) {
    // The value of the name claimed, -1 when claiming failed; nullopt when it is taken.
    const auto try_value = [&](std::int64_t value) -> std::optional<std::int64_t> {
        // Within one clock tick a batch meets its own names again: asking the file system about
        // them would cost a thousand-item batch thousands of look-ups.
        if (given_names_.count(value)) return std::nullopt;
        const NameClaim c = claim(NameOf(data_folder_, value));
        if (c == NameClaim::kTaken) return std::nullopt;
        last_name_value_ = std::max(last_name_value_, value);
        given_names_.insert(value);
        return c == NameClaim::kClaimed ? value : -1;
    };
    std::int64_t value = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        value = (clock::Now() << 8) | (clock::TickCount() & 0xFF);
        if (const auto r = try_value(value)) return *r;
    }
    // The clocks have not moved past names already taken (many registrations within one
    // second give at most 256 tick values): walk on from the last name given to the first
    // free one instead of waiting for the next second.
    for (value = std::max(value, last_name_value_) + 1;; ++value)
        if (const auto r = try_value(value)) return *r;
}

std::optional<std::string> CategoryStoreBase::CreateDataFile(std::string_view bytes, std::int64_t& entry_time) {
    const std::int64_t value = ChooseDataFileName([&](const std::string& name) {
        switch (fs::CreateNewFile(name, bytes)) {
            case fs::NewFile::kCreated: return NameClaim::kClaimed;
            case fs::NewFile::kTaken: return NameClaim::kTaken;
            case fs::NewFile::kFailed: break;
        }
        return NameClaim::kFailed;
    });
    if (value < 0) return std::nullopt;
    entry_time = value >> 8;
    std::string name = NameOf(data_folder_, value);
    unflushed_files_.push_back(name);
    return name;
}

void CategoryStoreBase::SkipDataFileName() {
    ChooseDataFileName([](const std::string& name) { return fs::Exists(name) ? NameClaim::kTaken : NameClaim::kClaimed; });
}

void CategoryStoreBase::Bump() const {
    // One counter for every store: a store made anew where an old one was never shows a
    // revision that the old one had.
    static std::atomic<std::uint64_t> counter{0};
    revision_ = ++counter;
}

void CategoryStoreBase::LogAlreadyStored(const std::string& title) {
    LogTitle(Texts().Of(category_).already, title);
    if (batch_depth_ == 0) FlushLog();
}

void CategoryStoreBase::ReportAdded(int key) const {
    Bump();
    if (observer_) observer_->ItemAdded(category_, key);
}

void CategoryStoreBase::ReportChanged(int key) const {
    Bump();
    if (observer_) observer_->ItemChanged(category_, key);
}

void CategoryStoreBase::ReportRemoved(int key) const {
    Bump();
    if (observer_) observer_->ItemRemoved(category_, key);
}

void CategoryStoreBase::LogTitle(const std::string& pattern, const std::string& title) const {
    // The line waits for the index write of its change (the batch's write inside a batch), so
    // that nothing is reported registered that a crash could still take away.
    if (observer_) pending_log_.push_back(FormatTitle(pattern, title));
}

void CategoryStoreBase::FlushLog() const {
    std::vector<std::string> lines;
    lines.swap(pending_log_);
    if (observer_ && !lines.empty()) observer_->LogLines(lines);
}

void CategoryStoreBase::ReportFailure() const {
    if (observer_) observer_->Failure(Texts().failure, Texts().caption);
}

}  // namespace sorvanto
