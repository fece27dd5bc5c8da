#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "pictograph/emoji_map.h"
#include "pictograph/emoji_table.h"
#include "pictograph/pictograph_grid.h"
#include "pictograph/pictograph_table.h"
#include "platform/ini_file.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

std::vector<PictographEntry> ReadText(const std::string& text) {
    IniFile ini;
    ini.Parse(text);
    return PictographTable::Read(ini);
}

TEST(PictographTable, ReadsUpToFirstMissingOrEmptyKey) {
    EXPECT_TRUE(ReadText("[IMojiCode]\r\nCode1=F8A0 0000FF\r\n").empty());
    EXPECT_EQ(ReadText("[IMojiCode]\r\nCode0=F89F 0000FF\r\nCode1=\r\nCode2=F8A1 0\r\n").size(), 1u);
    EXPECT_EQ(ReadText("[imojicode]\r\ncode0=F89F 0000FF\r\ncode1=f8a0 ff0000\r\n").size(), 2u);
    EXPECT_TRUE(ReadText("[Other]\r\nCode0=F89F 0000FF\r\n").empty());
}

TEST(PictographTable, OutputCodeDefaultsToDisplayCode) {
    auto entries = ReadText("[IMojiCode]\r\nCode0=F89F 0000FF\r\nCode1=F89F 0000FF F8A0\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].DisplayBytes(), "\xF8\x9F");
    EXPECT_EQ(entries[0].OutputBytes(), "\xF8\x9F");
    EXPECT_EQ(entries[0].colour, 0x0000FFu);
    EXPECT_EQ(entries[1].DisplayBytes(), "\xF8\x9F");
    EXPECT_EQ(entries[1].OutputBytes(), "\xF8\xA0");
}

TEST(PictographTable, OddValuesAreClosedSafely) {
    // A single number: black, sending itself. A non-number is left out, the rest still read.
    auto entries = ReadText("[IMojiCode]\r\nCode0=F8A2\r\nCode1=zz 00FF00\r\nCode2=0xF8A3 1FFFFFF\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].OutputBytes(), "\xF8\xA2");
    EXPECT_EQ(entries[0].colour, 0u);
    EXPECT_EQ(entries[1].DisplayBytes(), "\xF8\xA3");
    EXPECT_EQ(entries[1].colour, 0xFFFFFFu);
}

TEST(PictographTable, StopsAtThreeHundredEntries) {
    std::string text = "[IMojiCode]\r\n";
    for (int i = 0; i < 320; ++i) text += "Code" + std::to_string(i) + "=F89F 0\r\n";
    EXPECT_EQ(ReadText(text).size(), 300u);
}

class ShippedTable : public test::TempHome {};

TEST_F(ShippedTable, HoldsEveryPictographInCodeOrder) {
    const auto entries = PictographTable::Load(std::string(SORVANTO_SOURCE_DIR) + "/data/imoji.ini");
    ASSERT_EQ(entries.size(), pictograph::EmojiTable().size());
    EXPECT_EQ(entries.size(), 252u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint16_t code = std::uint16_t(entries[i].display[0] << 8 | entries[i].display[1]);
        EXPECT_EQ(code, pictograph::EmojiTable()[i].code);
        EXPECT_EQ(entries[i].OutputBytes(), entries[i].DisplayBytes());
        EXPECT_NE(entries[i].colour, 0xFFFFFFu) << "invisible on the grid's white";
    }
    EXPECT_TRUE(PictographTable::Load("missing.ini").empty());
}

TEST(PictographGrid, LaysOutTwentyFourCellsPerRow) {
    EXPECT_EQ(PictographGrid::CellOf(23).x, 23 * 19);
    EXPECT_EQ(PictographGrid::CellOf(23).y, 0);
    EXPECT_EQ(PictographGrid::CellOf(24).x, 0);
    EXPECT_EQ(PictographGrid::CellOf(24).y, 19);
}

TEST(PictographGrid, HitTestAndSelection) {
    // Thirty entries; entry i sends F8 (0x40 + i).
    std::string text = "[IMojiCode]\r\n";
    for (int i = 0; i < 30; ++i) {
        char value[32];
        std::snprintf(value, sizeof value, "=F89F 0 F8%02X\r\n", 0x40 + i);
        text += "Code" + std::to_string(i) + value;
    }
    PictographGrid grid(ReadText(text));
    ASSERT_EQ(grid.Count(), 30);
    EXPECT_EQ(grid.HitTest(0, 0, 500, 200), 0);
    EXPECT_EQ(grid.HitTest(18, 18, 500, 200), 0);
    EXPECT_EQ(grid.HitTest(19, 0, 500, 200), 1);
    EXPECT_EQ(grid.HitTest(5 * 19, 19, 500, 200), 29);
    EXPECT_EQ(grid.HitTest(6 * 19, 19, 500, 200), -1);   // past the last entry
    EXPECT_EQ(grid.HitTest(24 * 19, 0, 500, 200), -1);   // right of the last column, not row 2
    EXPECT_EQ(grid.HitTest(10, 10, 10, 200), -1);        // outside the client area
    EXPECT_EQ(grid.HitTest(-1, 0, 500, 200), -1);

    grid.Press(20, 20, 500, 200);
    EXPECT_EQ(grid.Selection(), 25);
    EXPECT_EQ(grid.SelectedOutput(), std::optional<std::string>("\xF8\x59"));
    EXPECT_EQ(grid.DoubleClick(0, 0, 500, 200), std::optional<std::string>("\xF8\x40"));
    grid.Press(300, 100, 500, 200);
    EXPECT_EQ(grid.Selection(), -1);
    EXPECT_FALSE(grid.SelectedOutput());
    EXPECT_FALSE(grid.DoubleClick(300, 100, 500, 200));
}

TEST(PictographGrid, WindowClicksPassOnlyInsideTheOffset) {
    EXPECT_FALSE(PictographGrid::WindowToGrid(12, 40));
    EXPECT_FALSE(PictographGrid::WindowToGrid(40, 12));
    const auto p = PictographGrid::WindowToGrid(13, 40);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, 1);
    EXPECT_EQ(p->y, 28);
}

TEST(EmojiMap, KnownCodesBothWays) {
    EXPECT_EQ(EmojiMap::EmojiOf(0xF89F), U"\u2600");           // sun
    EXPECT_EQ(EmojiMap::EmojiOf(0xF991), U"\u2764");           // heart
    EXPECT_EQ(EmojiMap::EmojiOf(0xF9FC), U"\U0001F631");       // scream, the last code
    EXPECT_EQ(EmojiMap::EmojiOf(0xF985), U"#\u20E3");
    EXPECT_TRUE(EmojiMap::EmojiOf(0xF953).empty());
    EXPECT_TRUE(EmojiMap::EmojiOf(0x82A0).empty());

    EXPECT_EQ(EmojiMap::MatchAt(U"\u2600abc")->code, 0xF89F);
    EXPECT_EQ(EmojiMap::MatchAt(U"\u2600abc")->length, 1u);
    EXPECT_EQ(EmojiMap::MatchAt(U"\u2600\uFE0F!")->length, 2u);
    EXPECT_EQ(EmojiMap::MatchAt(U"#\uFE0F\u20E3")->code, 0xF985);
    EXPECT_EQ(EmojiMap::MatchAt(U"#\uFE0F\u20E3")->length, 3u);
    EXPECT_FALSE(EmojiMap::MatchAt(U"#1"));
    EXPECT_FALSE(EmojiMap::MatchAt(U"a"));
}

TEST(EmojiMap, EveryCodeRoundTripsAndStandInsStayApart) {
    std::set<std::u32string> seen;
    int stand_ins = 0;
    for (const auto& e : pictograph::EmojiTable()) {
        const std::u32string emoji(EmojiMap::EmojiOf(e.code));
        ASSERT_FALSE(emoji.empty());
        EXPECT_TRUE(seen.insert(emoji).second) << std::hex << e.code;
        const auto m = EmojiMap::MatchAt(emoji);
        ASSERT_TRUE(m) << std::hex << e.code;
        EXPECT_EQ(m->code, e.code);
        EXPECT_EQ(m->length, emoji.size());
        stand_ins += EmojiMap::IsStandIn(e.code);
    }
    EXPECT_EQ(stand_ins, 8);
    EXPECT_TRUE(EmojiMap::IsStandIn(0xF975));
}

TEST(EmojiMap, PrivateUseMappingOfCodePage932) {
    EXPECT_EQ(EmojiMap::PrivateUseOf(0xF89F), char32_t(0xE63E));
    EXPECT_EQ(EmojiMap::PrivateUseOf(0xF040), char32_t(0xE000));
    EXPECT_EQ(EmojiMap::PrivateUseOf(0xF080), char32_t(0xE03F));
    EXPECT_EQ(EmojiMap::PrivateUseOf(0xF9FC), char32_t(0xE757));
    EXPECT_FALSE(EmojiMap::PrivateUseOf(0xF87F));
    EXPECT_FALSE(EmojiMap::PrivateUseOf(0xFA40));
    for (unsigned code : {0xF040u, 0xF07Eu, 0xF080u, 0xF89Fu, 0xF9FCu})
        EXPECT_EQ(EmojiMap::CodeOfPrivateUse(*EmojiMap::PrivateUseOf(std::uint16_t(code))), code);
    EXPECT_FALSE(EmojiMap::CodeOfPrivateUse(0xE758));
    EXPECT_FALSE(EmojiMap::CodeOfPrivateUse(0xDFFF));
}

}  // namespace
}  // namespace sorvanto
