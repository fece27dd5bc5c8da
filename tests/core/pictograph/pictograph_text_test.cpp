#include <gtest/gtest.h>

#include "pictograph/emoji_map.h"
#include "pictograph/emoji_table.h"
#include "pictograph/pictograph_text.h"

namespace sorvanto {
namespace {

using namespace pictograph_text;

TEST(PictographText, PictographsBecomeEmojiAndComeBack) {
    // "晴れ" + sun + "#" keycap + "abc": the pictographs sit between ordinary characters.
    const std::string sjis =
        "\x90\xB0\x82\xEA\xF8\x9F\xF9\x85"
        "abc";
    const std::string utf8 = ToUtf8(sjis);
    EXPECT_EQ(utf8, "晴れ\u2600#\u20E3abc");
    EXPECT_EQ(FromUtf8(utf8), sjis);
    // A variation selector after the emoji only picks its look.
    EXPECT_EQ(FromUtf8("\u2600\uFE0F!"), std::string("\xF8\x9F!"));
    // Never a private-use character on the way out.
    for (const auto& e : pictograph::EmojiTable()) {
        const std::string code{char(e.code >> 8), char(e.code & 0xFF)};
        const std::u32string shown = DecodeUtf8(ToUtf8(code));
        ASSERT_FALSE(shown.empty());
        for (char32_t p : shown) EXPECT_FALSE(p >= 0xE000 && p <= 0xF8FF) << std::hex << e.code;
        EXPECT_EQ(FromUtf8(ToUtf8(code)), code) << std::hex << e.code;
    }
}

TEST(PictographText, StandInsAreVisibleButNoEmojiSpan) {
    const std::u32string text =
        DecodeUtf8(ToUtf8("a\xF8\x9F\xF9\x75"
                          "b"));  // sun, i-mode logo
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(text[2], char32_t(0x24D8));
    const auto spans = EmojiSpans(text);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].start, 1u);
    EXPECT_EQ(spans[0].length, 1u);
}

TEST(PictographText, BadInputIsClosedSafely) {
    EXPECT_EQ(ToUtf8("\x81"), "\uFFFD");  // a lead byte at the end
    EXPECT_EQ(ToUtf8("\xF9"), "\uFFFD");
    EXPECT_FALSE(FromUtf8("\xE2\x98"));      // cut UTF-8
    EXPECT_FALSE(FromUtf8("\xED\xA0\x80"));  // an encoded surrogate
    EXPECT_FALSE(FromUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(FromUtf8("\U0001F600"));    // an emoji no pictograph stands for
    bool ok = true;
    EXPECT_EQ(DecodeUtf8("a\xF0\x9F"
                         "b",
                         &ok),
              U"a\uFFFDb");
    EXPECT_FALSE(ok);
    std::string out;
    AppendUtf8(out, 0xD800);
    EXPECT_EQ(out, "\uFFFD");
}

}  // namespace
}  // namespace sorvanto
