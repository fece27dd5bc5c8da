// The code page 932 converter of each system against one table, written on Linux from glibc's
// converter: every single byte and every double-byte code (lead 81-9F and E0-FC, trail 40-7E
// and 80-FC, the user-defined F040..F9FC among them), each decoded to UTF-8 and encoded back.
// The Windows build runs the same test, so both converters give the same bytes for every code.
// SORVANTO_REGENERATE=1 writes the table anew (on Linux only, where it comes from).
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/cp932.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

std::string Hex(std::string_view bytes) {
    static const char* kDigits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

// "code utf8 back": back is the encoding of the decoded text, "-" when it has none.
std::string Line(std::string_view code) {
    const std::string utf8 = cp932::ToUtf8(code);
    const auto back = cp932::FromUtf8(utf8);
    return Hex(code) + " " + Hex(utf8) + " " + (back ? Hex(*back) : "-") + "\n";
}

std::string Table() {
    std::string table;
    for (int b = 0; b < 256; ++b) table += Line(std::string(1, static_cast<char>(b)));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            table += Line(std::string_view(code, 2));
        }
    }
    return table;
}

TEST(Cp932TableTest, EveryCodeConvertsAsTheTableSays) {
    const auto path = test::DataPath("text/cp932_table.txt");
    const std::string table = Table();
    if (const char* regen = std::getenv("SORVANTO_REGENERATE"); regen && *regen == '1') {
        test::WriteFileBytes(path, table);
        GTEST_SKIP() << "table written to " << path.string();
    }
    const std::string expected = test::ReadFileBytes(path);
    ASSERT_FALSE(expected.empty()) << path.string();
    // Compare line by line so that a difference names its code.
    std::istringstream got(table), want(expected);
    std::string g, w;
    int differences = 0;
    while (std::getline(want, w)) {
        std::getline(got, g);
        if (g != w && ++differences <= 20) ADD_FAILURE() << "expected " << w << "\n     got " << g;
    }
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(table.size(), expected.size());
}

TEST(Cp932TableTest, UserDefinedAreaAndPictographsMapToPrivateUse) {
    // F040 is the first user-defined code, F9FC the last pictograph code.
    EXPECT_EQ(cp932::ToUtf8("\xF0\x40"), "\xEE\x80\x80");      // U+E000
    EXPECT_EQ(cp932::ToUtf8("\xF8\x9F"), "\xEE\x98\xBE");      // U+E63E
    EXPECT_EQ(cp932::ToUtf8("\xF9\xFC"), "\xEE\x9D\x97");      // U+E757
    EXPECT_EQ(cp932::FromUtf8("\xEE\x9D\x97"), std::string("\xF9\xFC"));
    // A lead byte with no trail, and a trail that does not fit: one U+FFFD per byte dropped.
    EXPECT_EQ(cp932::ToUtf8("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(cp932::ToUtf8("\x81\x20"), "\xEF\xBF\xBD ");
    // Characters that share a code with the one the code decodes to.
    const struct {
        const char* utf8;
        const char* code;
    } shared[] = {{"\xC2\xA5", "\x5C"},     {"\xE2\x80\xBE", "\x7E"},     {"\xE3\x80\x9C", "\x81\x60"},
                  {"\xE2\x80\x96", "\x81\x61"}, {"\xE2\x88\x92", "\x81\x7C"}, {"\xE2\x80\x94", "\x81\x5C"},
                  {"\xC2\xA2", "\x81\x91"},    {"\xC2\xA3", "\x81\x92"},    {"\xC2\xAC", "\x81\xCA"}};
    for (const auto& s : shared) EXPECT_EQ(cp932::FromUtf8(s.utf8), std::string(s.code)) << s.utf8;
    EXPECT_EQ(cp932::ToUtf8("\x80"), "\xEF\xBF\xBD");
    EXPECT_FALSE(cp932::FromUtf8("\xC2\x80"));
    // No code page 932 form, or no UTF-8 at all.
    EXPECT_FALSE(cp932::FromUtf8("\xF0\x9F\x98\x80"));  // U+1F600
    EXPECT_FALSE(cp932::FromUtf8("\xC3"));
}

}  // namespace
}  // namespace sorvanto
