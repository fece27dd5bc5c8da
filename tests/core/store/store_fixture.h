#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <memory>

#include "common/sjis.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "store/store_observer.h"
#include "support/temp_home.h"

namespace sorvanto::test {

// Records what a store reports.
struct RecordingObserver : StoreObserver {
    std::vector<int> added, changed, removed;
    std::vector<std::string> log, failures;
    void ItemAdded(Category, int key) override { added.push_back(key); }
    void ItemChanged(Category, int key) override { changed.push_back(key); }
    void ItemRemoved(Category, int key) override { removed.push_back(key); }
    void LogLine(const std::string& text) override { log.push_back(text); }
    void Failure(const std::string& message, const std::string&) override { failures.push_back(message); }
};

// A working folder holding copies of the fixtures under tests/data/store.
class StoreTest : public TempHome {
protected:
    // Copies tests/data/store/<folder> into the working folder.
    void CopyFixture(const std::string& folder) {
        std::filesystem::copy(DataPath("store/" + folder), Home(),
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    }
    static std::string Fixture(const std::string& file) { return DataPath("store/" + file).string(); }
    std::string Read(const std::filesystem::path& relative) const { return ReadFileBytes(Home() / relative); }
    void Write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::create_directories((Home() / relative).parent_path());
        WriteFileBytes(Home() / relative, bytes);
    }
    void TearDown() override {
        clock::SetForTesting({}, {});
        TempHome::TearDown();
    }
    // A clock frozen at the given second whose tick advances by one on every read.
    void FreezeClock(std::int64_t now, std::uint32_t first_tick = 0) {
        auto tick = std::make_shared<std::uint32_t>(first_tick);
        clock::SetForTesting([now] { return now; }, [tick] { return (*tick)++; });
    }
};

inline std::string Sj(const char* utf8) { return sjis::Lit(utf8); }

}  // namespace sorvanto::test
