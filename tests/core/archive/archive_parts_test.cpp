// The archive's small writers: checksums, file names, kana, MIME pieces, HTML text.
#include <gtest/gtest.h>

#include "archive/html_text.h"
#include "archive/katakana.h"
#include "archive/mime_mail.h"
#include "archive/safe_file_names.h"
#include "archive/sha256.h"
#include "pictograph/pictograph_text.h"

namespace sorvanto {
namespace {

TEST(Sha256, FipsVectorsWholeAndInPieces) {
    EXPECT_EQ(Sha256::Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256::Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string two_blocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Sha256::Hex(two_blocks), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // A million 'a' fed in uneven pieces crosses every buffer boundary.
    Sha256 s;
    const std::string piece(997, 'a');
    std::size_t fed = 0;
    while (fed + piece.size() <= 1000000) s.Update(piece), fed += piece.size();
    s.Update(std::string(1000000 - fed, 'a'));
    EXPECT_EQ(s.HexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // 55 and 56 bytes: the length still fits the last block, or needs one more.
    EXPECT_EQ(Sha256::Hex(std::string(55, 'a')),
              "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(Sha256::Hex(std::string(56, 'a')),
              "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
}

TEST(SafeFileNames, SafeOnBothSystemsAndUnique) {
    SafeFileNames names;
    EXPECT_EQ(names.Take("a/b\\c:d*e?f\"g<h>i|j", "mld"), "a_b_c_d_e_f_g_h_i_j.mld");
    EXPECT_EQ(names.Take("..", "mld"), "untitled.mld");
    EXPECT_EQ(names.Take("../../etc/passwd", "txt"), "_.._etc_passwd.txt");
    EXPECT_EQ(names.Take(" .hidden. ", "jpg"), "hidden.jpg");
    EXPECT_EQ(names.Take("CON", "txt"), "_CON.txt");
    EXPECT_EQ(names.Take("lpt1", "txt"), "_lpt1.txt");
    EXPECT_EQ(names.Take("tab\there\nline", "txt"), "tab here line.txt");
    // Windows folders ignore case: "Song" and "song" would be one file there.
    EXPECT_EQ(names.Take("Song", "mld"), "Song.mld");
    EXPECT_EQ(names.Take("song", "mld"), "song (2).mld");
    EXPECT_EQ(names.Take("SONG", "MLD"), "SONG (3).MLD");
    names.Reserve("index.html");
    EXPECT_EQ(names.Take("INDEX", "html"), "INDEX (2).html");
    // Long titles are cut at a character, never inside one.
    const std::string long_title(40, 'x');
    std::string kanji;
    for (int i = 0; i < 40; ++i) kanji += "曲";
    const std::string cut = SafeFileNames::Clean(long_title + kanji, "x");
    EXPECT_LE(cut.size(), SafeFileNames::kMaxStemBytes);
    bool ok = false;
    pictograph_text::DecodeUtf8(cut, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(SafeFileNames::Clean("\xFF\xFE", "melody"), "melody");
}

std::string Utf8(const std::u32string& s) {
    std::string out;
    for (char32_t p : s) pictograph_text::AppendUtf8(out, p);
    return out;
}

TEST(Katakana, HalfWidthComposedAndHiraganaTurned) {
    auto k = [](const char* utf8) { return Utf8(FullWidthKatakana(pictograph_text::DecodeUtf8(utf8))); };
    EXPECT_EQ(k("ﾔﾏﾀﾞ ﾀﾛｳ"), "ヤマダ タロウ");
    EXPECT_EQ(k("ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ ﾊﾞﾋﾞﾌﾞ"), "パピプペポ バビブ");
    EXPECT_EQ(k("ｳﾞｧｲｵﾘﾝ"), "ヴァイオリン");
    EXPECT_EQ(k("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ"), "ガギグゲゴザジズゼゾダヂヅデド");
    EXPECT_EQ(k("すずき"), "スズキ");
    // A sound mark after a kana that takes none, or after an already voiced one, stays a mark.
    EXPECT_EQ(k("ｱﾞ"), "ア゛");
    EXPECT_EQ(k("ガﾞ"), "ガ゛");
    EXPECT_EQ(k("ﾞ"), "゛");
    EXPECT_EQ(k("ｯｰ｡"), "ッー。");
}

TEST(MimePieces, EncodedWordsFoldAndKeepCharacters) {
    EXPECT_EQ(EncodedHeaderText("plain subject"), "plain subject");
    EXPECT_EQ(EncodedHeaderText("=?x?"), "=?UTF-8?B?PT94Pw==?=");
    std::string long_subject;
    for (int i = 0; i < 30; ++i) long_subject += "件☀";
    const std::string encoded = EncodedHeaderText(long_subject);
    std::size_t start = 0;
    int words = 0;
    while (start < encoded.size()) {
        std::size_t end = encoded.find("\r\n ", start);
        const std::string word =
            encoded.substr(start, end == std::string::npos ? std::string::npos : end - start);
        EXPECT_LE(word.size(), 75u);
        EXPECT_EQ(word.rfind("=?UTF-8?B?", 0), 0u);
        ++words;
        start = end == std::string::npos ? encoded.size() : end + 3;
    }
    EXPECT_GT(words, 2);
}

TEST(MimePieces, AddressesStayParsable) {
    EXPECT_EQ(AddressListHeader("taro@docomo.ne.jp"), "taro@docomo.ne.jp");
    EXPECT_EQ(AddressListHeader("a@b.jp;c@d.jp"), "a@b.jp,\r\n c@d.jp");
    // i-mode allowed dots the RFC does not: the local part is quoted.
    EXPECT_EQ(AddressListHeader("taro..@docomo.ne.jp"), "\"taro..\"@docomo.ne.jp");
    // A phone number, or any text that is no address, is kept as an empty group's name.
    EXPECT_EQ(AddressListHeader("09012345678"), "\"09012345678\":;");
    EXPECT_EQ(AddressListHeader("山田"), "=?UTF-8?B?5bGx55Sw?=:;");
    EXPECT_EQ(AddressListHeader("山田 <y@a.jp>"), "=?UTF-8?B?5bGx55Sw?= <y@a.jp>");
}

TEST(MimePieces, QuotedPrintableLinesAndMboxQuoting) {
    const std::string body = QuotedPrintableBody(std::string(200, 'x') + "\r\nend \nFrom here=\n");
    std::size_t start = 0;
    while (start < body.size()) {
        const std::size_t end = body.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start, 76u);
        start = end + 2;
    }
    EXPECT_NE(body.find("end=20\r\n"), std::string::npos);
    EXPECT_NE(body.find("From here=3D\r\n"), std::string::npos);
    const std::string mbox = MboxrdEntry("Subject: x\r\n\r\nFrom me\r\n>From you\r\nFrom\r\n", "a@b.jp", 0);
    EXPECT_EQ(mbox, "From a@b.jp Thu Jan  1 00:00:00 1970\nSubject: x\n\n>From me\n>>From you\nFrom\n\n");
    EXPECT_EQ(MboxrdEntry("x", "", 1073001907).substr(0, 44),
              "From MAILER-DAEMON Fri Jan  2 00:05:07 2004\n");
}

TEST(HtmlText, EscapesAndLinksOnlyTheWeb) {
    EXPECT_EQ(html_text::Escaped("<a href=\"x\">'&'</a>\x01"),
              "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
    EXPECT_TRUE(html_text::IsWebUrl("http://example.com/"));
    EXPECT_TRUE(html_text::IsWebUrl("HTTPS://example.com/a?b=c"));
    EXPECT_FALSE(html_text::IsWebUrl("javascript:alert(1)"));
    EXPECT_FALSE(html_text::IsWebUrl("file:///etc/passwd"));
    EXPECT_FALSE(html_text::IsWebUrl("http://a\" onclick=\"x"));
    EXPECT_EQ(html_text::RelativeHref("melodies/a b#1%.mld"), "melodies/a%20b%231%25.mld");
}

}  // namespace
}  // namespace sorvanto
