// The search over every category, as the command-line tool and the search bar use it.
#include "search/search_index.h"

#include <algorithm>

#include "search/search_text.h"
#include "search_fixture.h"

namespace sorvanto::test {
namespace {

class SearchIndexTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        AddMelody(Sj("きらきら星"));
        stores.bookmark.Register(Sj("天気予報"), "http://www.example.jp/Weather", 1);
        AddMail(stores.in_mail, "taro@docomo.ne.jp", Sj("今夜の予定"), Sj("ラーメン屋で７時に"));
        AddMail(stores.out_mail, "hanako@example.jp", Sj("Re:予定"), "OK");
        yamada = AddAddress(Sj("山田 太郎"), Sj("ﾔﾏﾀﾞ ﾀﾛｳ"), {"HOME:03-1234-5678", "CELL:090-1234-5678"},
                            {"INTERNET:Taro@Docomo.ne.jp"});
        AddAddress(Sj("佐藤 花子"), Sj("サトウ ハナコ"), {"CELL:080-2222-3333"});
        index.SetStores(Refs());
    }
    // "category:position" of every hit.
    std::vector<std::string> Find(const std::string& text) {
        std::vector<std::string> out;
        for (const SearchHit& h : index.Find(text))
            out.push_back(std::to_string(static_cast<int>(h.category)) + ":" + std::to_string(h.position));
        return out;
    }
    using V = std::vector<std::string>;
    SearchIndex index;
    int yamada = -1;
};

TEST_F(SearchIndexTest, FindsFoldedTextsInEveryField) {
    EXPECT_EQ(Find(Sj("やまだ")), V{"5:0"});          // kana reading, hiragana against half-width
    EXPECT_EQ(Find(Sj("ＫＩＲＡ")), V{});            // no romaji in a kana title
    EXPECT_EQ(Find(Sj("キラキラ")), V{"0:0"});        // melody title in hiragana
    EXPECT_EQ(Find("weather"), V{"2:0"});             // bookmark URL, any case
    EXPECT_EQ(Find(Sj("ﾗｰﾒﾝ")), V{"4:0"});            // received mail body
    EXPECT_EQ(Find(Sj("予定")), (V{"3:0", "4:0"}));   // subjects of both boxes, in tab order
    EXPECT_EQ(Find("taro@docomo"), (V{"4:0", "5:0"}));  // a sender and an entry's address
    EXPECT_EQ(Find(Sj("山田太郎")), V{"5:0"});        // the blank in the name does not count
    const auto hits = index.Find(Sj("佐藤"));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].category, Category::kAddress);
    EXPECT_EQ(hits[0].position, 1);
    EXPECT_EQ(stores.address.At(1)->name, Sj("佐藤 花子"));
}

TEST_F(SearchIndexTest, NumbersMatchOnTheirDigitsWhicheverWayTheyAreWritten) {
    // The first number of the entry, which its row does not show.
    EXPECT_EQ(Find("0312345678"), V{"5:0"});
    EXPECT_EQ(Find("+81 90 1234"), V{"5:0"});
    EXPECT_EQ(Find(Sj("０８０－２２２２")), V{"5:1"});
    EXPECT_EQ(Find("1234-5678"), V{"5:0"});
    EXPECT_EQ(Find("5555"), V{});
}

TEST_F(SearchIndexTest, FollowsTheStoreAndRestrictsToOneCategory) {
    EXPECT_EQ(Find(Sj("鈴木")), V{});
    AddAddress(Sj("鈴木"), Sj("スズキ"), {"CELL:06-9876-5432"});
    EXPECT_EQ(Find(Sj("すずき")), V{"5:2"});
    ASSERT_TRUE(stores.address.Delete(yamada));
    EXPECT_EQ(Find(Sj("すずき")), V{"5:1"});
    EXPECT_EQ(Find(Sj("ヤマダ")), V{});
    EXPECT_EQ(index.Find(Sj("予定"), Category::kInMail).size(), 1u);
    EXPECT_TRUE(index.Find(Sj("予定"), Category::kMelody).empty());
}

TEST_F(SearchIndexTest, OneItemMatchesExactlyWhenFindFindsIt) {
    const int suzuki = AddAddress(Sj("鈴木"), Sj("スズキ"), {"CELL:06-9876-5432"});
    const StoreRefs refs = Refs();
    for (const std::string& text : {Sj("やまだ"), std::string("weather"), Sj("予定"), std::string("taro@docomo"),
                                    std::string("0312345678"), std::string("+81 6 9876"), Sj("すずき"),
                                    Sj("ﾗｰﾒﾝ"), std::string("5555"), std::string("")}) {
        const std::vector<SearchHit> hits = index.Find(text);
        for (Category c : kAllCategories) {
            const CategoryStoreBase* store = refs.Of(c);
            for (int position = 0; store && position < store->Count(); ++position) {
                const int key = store->KeyAt(position);
                const bool found = std::any_of(hits.begin(), hits.end(), [&](const SearchHit& h) {
                    return h.category == c && h.key == key;
                });
                EXPECT_EQ(index.Matches(text, c, key), found) << text << " " << static_cast<int>(c) << ":" << key;
            }
        }
    }
    EXPECT_TRUE(index.Matches(Sj("すずき"), Category::kAddress, suzuki));
    EXPECT_FALSE(index.Matches(Sj("すずき"), Category::kAddress, suzuki + 100));  // no such item
    EXPECT_FALSE(index.Matches(Sj("すずき"), Category::kMelody, suzuki));
    EXPECT_FALSE(SearchIndex().Matches(Sj("すずき"), Category::kAddress, suzuki));  // no stores
}

TEST_F(SearchIndexTest, BadSearchTexts) {
    EXPECT_TRUE(index.Find("").empty());
    EXPECT_TRUE(index.Find(Sj("　 \t")).empty());
    // Ten thousand characters: nothing that long is stored, and the answer comes at once.
    EXPECT_TRUE(index.Find(std::string(10000, 'a')).empty());
    EXPECT_TRUE(index.Find(std::string(5000, '\x82') + "").empty());
    // A text the code page cannot hold matches nothing; emoji become the pictographs.
    EXPECT_EQ(SearchTextFromUtf8("\xE2\x82\xAC"), std::nullopt);  // the euro sign
    EXPECT_EQ(SearchTextFromUtf8("\xFF\xFE"), std::nullopt);      // no UTF-8
    EXPECT_EQ(SearchTextFromUtf8("\xE2\x98\x80\xEF\xB8\x8F"), std::string("\xF8\x9F"));  // the sun
    EXPECT_EQ(SearchTextFromUtf8("\xE5\xB1\xB1"), Sj("山"));
}

TEST_F(SearchIndexTest, PictographsInTextsMatchThemselves) {
    AddMail(stores.in_mail, "a@b", std::string("\xF8\x9F") + Sj("晴れ"), "");
    AddMail(stores.in_mail, "a@b", std::string("\xF8\xA0") + Sj("曇り"), "");
    EXPECT_EQ(Find("\xF8\x9F"), V{"4:1"});
    EXPECT_EQ(Find("\xF8\xA0"), V{"4:2"});
}

}  // namespace
}  // namespace sorvanto::test
