// The folding rules on the pairs a Japanese phone book really holds.
#include <gtest/gtest.h>

#include "common/sjis.h"
#include "search/text_fold.h"

namespace sorvanto {
namespace {

using text_fold::Fold;
using text_fold::PhoneDigits;

std::string Sj(const char* utf8) {
    auto s = sjis::FromUtf8(utf8);
    EXPECT_TRUE(s.has_value()) << utf8;
    return s.value_or("");
}

bool Same(const char* a, const char* b) { return Fold(Sj(a)) == Fold(Sj(b)); }

TEST(TextFold, HalfWidthNamesMatchFullWidthWithVoicedMarksComposed) {
    EXPECT_TRUE(Same("ﾔﾏﾀﾞﾀﾛｳ", "ヤマダタロウ"));
    EXPECT_TRUE(Same("ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "パピプペポ"));
    EXPECT_TRUE(Same("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞｳﾞ",
                     "ガギグゲゴザジズゼゾダヂヅデドバビブベボヴ"));
    EXPECT_TRUE(Same("ｼｮｳﾀ ｯ", "ショウタッ"));
    // The composed letter is one character: ﾀﾞ is not タ followed by a mark.
    EXPECT_EQ(Fold(Sj("ﾀﾞ")).size(), 1u);
    // Letters without a voiced form keep the mark as a character of its own.
    EXPECT_FALSE(Same("ﾅﾞ", "ナ"));
    EXPECT_FALSE(Same("ﾀﾞ", "タ"));
    EXPECT_FALSE(Same("ﾊﾟ", "バ"));
}

TEST(TextFold, HiraganaReadingsMatchKatakana) {
    EXPECT_TRUE(Same("やまだ たろう", "ヤマダタロウ"));
    EXPECT_TRUE(Same("すずき はなこ", "ｽｽﾞｷﾊﾅｺ"));
    EXPECT_TRUE(Same("ぁぃぅぇぉっゃゅょゎ", "ァィゥェォッャュョヮ"));
    EXPECT_TRUE(Same("むめもやゆよらりるれろわをん", "ムメモヤユヨラリルレロワヲン"));
    EXPECT_TRUE(Same("か゛", "ガ"));  // a full-width mark typed after the letter
    EXPECT_FALSE(Same("やまだ", "やまの"));
}

TEST(TextFold, FullWidthAsciiCaseHyphensAndBlanks) {
    EXPECT_TRUE(Same("ＴＡＲＯ＠ｄｏｃｏｍｏ．ｎｅ．ｊｐ", "taro@docomo.ne.jp"));
    EXPECT_TRUE(Same("Taro Yamada", "taroyamada"));
    EXPECT_TRUE(Same("ＡＢＣ　１２３", "abc123"));
    EXPECT_TRUE(Same("\"x\"", "＂ｘ＂"));  // ＂ lives in the IBM rows of the code page
    for (const char* dash : {"ー", "−", "‐", "-", "ｰ", "－"}) EXPECT_TRUE(Same(dash, "-")) << dash;
    EXPECT_TRUE(Same("ラーメン", "ﾗｰﾒﾝ"));
    EXPECT_TRUE(Same("a\r\n\tb", "ab"));
    EXPECT_FALSE(Same("ab", "a_b"));
}

TEST(TextFold, PictographsMatchOnlyThemselves) {
    const std::string sun = "\xF8\x9F", cloud = "\xF8\xA0", last = "\xF9\xFC";
    EXPECT_EQ(Fold(sun), Fold(sun));
    EXPECT_NE(Fold(sun), Fold(cloud));
    EXPECT_EQ(Fold(last), std::u16string(1, char16_t(0xF9FC)));
    // A trail byte that looks like an ASCII letter is not a letter: no case fold inside it.
    const std::string heart_like = "\xF9\x41", heart_lower = "\xF9\x61";
    EXPECT_NE(Fold(heart_like), Fold(heart_lower));
}

TEST(TextFold, UnitsNeverMatchHalfACharacter) {
    // 表 is 95 5C in Shift_JIS; its trail byte is '\'. A search for '\' must not find it.
    const auto hay = Fold(Sj("表"));
    EXPECT_EQ(hay.find(Fold("\\")), std::u16string::npos);
    // A lead byte cut off at the end stays one unit and does not swallow anything.
    EXPECT_EQ(Fold("ab\x95").size(), 3u);
    EXPECT_EQ(Fold(std::string("a\0b", 3)).size(), 3u);
}

TEST(TextFold, PhoneNumbersCompareOnDigits) {
    const std::string want = "09012345678";
    EXPECT_EQ(PhoneDigits("090-1234-5678"), want);
    EXPECT_EQ(PhoneDigits("09012345678"), want);
    EXPECT_EQ(PhoneDigits("+81 90 1234 5678"), want);
    EXPECT_EQ(PhoneDigits("+81(0)90-1234-5678"), want);
    EXPECT_EQ(PhoneDigits(Sj("０９０－１２３４－５６７８")), want);
    EXPECT_EQ(PhoneDigits(Sj("＋８１　９０　１２３４　５６７８")), want);
    EXPECT_EQ(PhoneDigits("(03) 1234-5678"), "0312345678");
    // Another country's number keeps its '+', so it never equals a domestic one.
    EXPECT_EQ(PhoneDigits("+1 555 0100"), "+15550100");
    EXPECT_EQ(PhoneDigits("CELL"), "");
}

TEST(TextFold, PhoneLikeSearchTexts) {
    EXPECT_TRUE(text_fold::LooksLikePhoneNumber("090-1234"));
    EXPECT_TRUE(text_fold::LooksLikePhoneNumber("+81 90"));
    EXPECT_TRUE(text_fold::LooksLikePhoneNumber(Sj("０９０")));
    EXPECT_FALSE(text_fold::LooksLikePhoneNumber("---"));
    EXPECT_FALSE(text_fold::LooksLikePhoneNumber("user1@x"));
    EXPECT_FALSE(text_fold::LooksLikePhoneNumber(""));
}

}  // namespace
}  // namespace sorvanto
