// A "registered" log line is a promise to the user: when it is written, the index on disk must
// already hold the item, in a single registration and in a batch alike.
#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "store/bookmark_store.h"
#include "store_fixture.h"

namespace sorvanto {
namespace {

// Looks at the index file at the moment each line arrives.
struct IndexAtLogTime : test::RecordingObserver {
    std::vector<int> counts;
    void LogLine(const std::string& text) override {
        RecordingObserver::LogLine(text);
        counts.push_back(IniFile(".\\bookmk.ini").GetInt("System", "Count", -1));
    }
};

class SafetyLogAfterWriteTest : public test::StoreTest {};

TEST_F(SafetyLogAfterWriteTest, RegistrationIsLoggedOnlyOnceTheIndexHoldsIt) {
    BookmarkStore store;
    IndexAtLogTime observer;
    store.SetObserver(&observer);
    ASSERT_TRUE(store.Load());
    store.Register("one", "http://a/", 1);
    EXPECT_EQ(observer.counts, std::vector<int>{1});
    {
        BatchScope batch(store);
        store.Register("two", "http://b/", 1);
        store.Register("three", "http://c/", 1);
        EXPECT_EQ(observer.log.size(), 1u);  // held until the batch's write
    }
    EXPECT_EQ(observer.counts, (std::vector<int>{1, 3, 3}));
    ASSERT_EQ(observer.log.size(), 3u);
    EXPECT_NE(observer.log[1].find("two"), std::string::npos);
    EXPECT_NE(observer.log[2].find("three"), std::string::npos);
}

}  // namespace
}  // namespace sorvanto
