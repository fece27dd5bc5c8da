#include <gtest/gtest.h>

#include <thread>

#include "common/locked_list.h"
#include "common/sjis.h"
#include "common/time_text.h"
#include "common/window_requests.h"

namespace sorvanto {
namespace {

TEST(LockedListTest, EmptyListGivesNothingAndRemoveOfOnlyNodeEmptiesIt) {
    ByteList list;
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.At(0), nullptr);
    EXPECT_EQ(list.Find(1), nullptr);
    auto* n = list.AddCopy(1, 4, "abcd");
    ASSERT_EQ(list.Head(), n);
    EXPECT_EQ(std::string(n->data->begin(), n->data->end()), "abcd");
    list.Remove(n);
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Count(), 0);
    list.AddCopy(2, 0, nullptr);
    EXPECT_EQ(list.Head()->data, nullptr);
}

TEST(LockedListTest, KeepsOrderAndUnlinksFromTheMiddle) {
    LockedList<int> list;
    for (int i = 0; i < 5; ++i) list.AddOwned(i * 10, 4, std::make_unique<int>(i));
    EXPECT_EQ(*list.At(3)->data, 3);
    EXPECT_EQ(*list.Find(20)->data, 2);
    list.Remove(list.Find(20));
    list.Remove(list.At(3));  // the last one, key 40
    std::vector<int> keys;
    list.ForEach([&](const auto& node) { keys.push_back(node.key); });
    EXPECT_EQ(keys, (std::vector<int>{0, 10, 30}));
    EXPECT_EQ(list.At(2)->next, nullptr);
    EXPECT_EQ(list.Head()->prev, nullptr);
}

TEST(LockedListTest, ProducerAndConsumerOnTwoThreads) {
    ByteList queue;
    constexpr int kItems = 2000;
    std::thread producer([&] {
        for (int i = 0; i < kItems; ++i) queue.AddCopy(1, sizeof i, &i);
    });
    int seen = 0;
    while (seen < kItems) {
        if (auto* n = queue.Head()) {
            int v;
            std::memcpy(&v, n->data->data(), sizeof v);
            EXPECT_EQ(v, seen);
            queue.Remove(n);
            ++seen;
        }
    }
    producer.join();
    EXPECT_EQ(queue.Count(), 0);
}

TEST(WindowRequestsTest, FieldsAreCutAtCharacterBoundaries) {
    SendRequest req{};
    std::string title(258, 'a');
    title += "\x83\x81";  // a double-byte character across the 259-byte limit
    CopyField(req.title, title);
    EXPECT_EQ(FieldText(req.title), std::string(258, 'a'));
    CopyField(req.object_name, "telecom/pb.vcf");
    EXPECT_EQ(FieldText(req.object_name), "telecom/pb.vcf");
}

TEST(SjisTest, CutsCountsAndConverts) {
    const std::string melo = "\x92\x85\x83\x81\x83\x8D";  // 着メロ
    EXPECT_EQ(sjis::CutBytes(melo, 5), "\x92\x85\x83\x81");
    EXPECT_EQ(sjis::CutBytes("ab", 5), "ab");
    EXPECT_EQ(sjis::CharCount("a" + melo), 4u);
    EXPECT_EQ(sjis::ToUtf8(melo), "着メロ");
    EXPECT_EQ(sjis::FromUtf8("着メロ"), melo);
    EXPECT_EQ(sjis::FromUtf8("\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80"), std::nullopt);  // an emoji has no CP932 form
    EXPECT_EQ(sjis::ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // a lone lead byte does not crash
}

TEST(TimeTextTest, ListAndLogTimesInLocalTime) {
    // Tests run with TZ=Asia/Tokyo: 2004-01-02 00:05:07 UTC is 09:05:07 there.
    const std::int64_t t = 1073001907;
    EXPECT_EQ(ListTimeText(t, true), "2004/01/02 09:05:07  ");
    EXPECT_EQ(ListTimeText(t, false), "2004/01/02 09:05:07 *");
    EXPECT_EQ(LogPrefix(t), "2004/01/02 09:05:07 >");
}

}  // namespace
}  // namespace sorvanto
