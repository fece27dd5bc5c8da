#include "editing/address_selection.h"

#include <gtest/gtest.h>

namespace sorvanto {
namespace {

TEST(AddressSelectionTest, RowsPerMailAddressAndNoneForAnEntryWithout) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> book = {
        {"A", {"a1@x", "a2@x"}}, {"B", {}}, {"C", {"c@x"}}};
    AddressProvider provider = [&](int item, int mail, std::string& name, std::string& address) {
        if (item < 0 || item >= static_cast<int>(book.size())) return false;
        name = book[item].first;
        const auto& mails = book[item].second;
        if (mail >= static_cast<int>(mails.size())) {
            if (mail == 0) {
                address.clear();  // found, but no address
                return true;
            }
            return false;
        }
        address = mails[mail];
        return true;
    };
    const auto rows = CollectAddressChoices(provider);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "A");
    EXPECT_EQ(rows[1].address, "a2@x");
    EXPECT_EQ(rows[2].name, "C");
}

TEST(AddressSelectionTest, AProviderThatNeverEndsIsBounded) {
    AddressProvider endless = [](int, int, std::string& name, std::string& address) {
        name = "n";
        address = "x";
        return true;
    };
    EXPECT_FALSE(CollectAddressChoices(endless).empty());  // returns at all
}

TEST(AddressSelectionTest, AppendingAndFinishingRecipients) {
    std::string text = AppendRecipient("", "a@x");
    text = AppendRecipient(text, "b@x");
    EXPECT_EQ(text, "a@x;b@x");
    EXPECT_EQ(AppendRecipient("a@x; ", "b@x"), "a@x;b@x");
    EXPECT_EQ(AppendRecipient("a@x;;", "b@x"), "a@x;b@x");
    EXPECT_EQ(FinalRecipients("a@x;b@x; ;\r\n"), "a@x;b@x");
    EXPECT_EQ(FinalRecipients(" ; "), "");
}

}  // namespace
}  // namespace sorvanto
