#include "formats/quoted_printable.h"

#include <random>

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace sorvanto {
namespace {

using Qp = QuotedPrintableCodec;
constexpr std::size_t kBig = 1 << 24;

std::string Decode(const std::string& text, int* errors = nullptr) {
    return Qp::DecodeMemory(text, kBig, false, errors);
}

TEST(QuotedPrintableTest, EscapesEverythingOutsideThePrintableRange) {
    EXPECT_EQ(Qp::EncodeMemory("a b=c", kBig, true), "a=20b=3Dc");
    EXPECT_EQ(Qp::EncodeMemory("\r\n\t\x7F\x80\xFF~!", kBig, true), "=0D=0A=09=7F=80=FF~!");
}

TEST(QuotedPrintableTest, SoftBreakKeepsLinesAtSeventyFiveCharacters) {
    const std::string letters(80, 'q');
    EXPECT_EQ(Qp::EncodeMemory(letters, kBig, true), std::string(75, 'q') + "=\r\n" + std::string(5, 'q'));
    EXPECT_EQ(Qp::EncodeMemory(letters, kBig, false), std::string(75, 'q') + "=\n" + std::string(5, 'q'));
    // An escape that would pass 75 goes whole onto the next line.
    EXPECT_EQ(Qp::EncodeMemory(std::string(73, 'q') + " ", kBig, false), std::string(73, 'q') + "=\n=20");
    EXPECT_EQ(Qp::EncodeMemory(std::string(72, 'q') + " ", kBig, false), std::string(72, 'q') + "=20");
}

TEST(QuotedPrintableTest, DecodesEscapesAndSoftBreaks) {
    EXPECT_EQ(Decode("=41=\r\nB"), "AB");
    EXPECT_EQ(Decode("=41=\nB"), "AB");
    EXPECT_EQ(Decode("=41=\n\rB"), "AB");  // LF CR is one soft break too
    EXPECT_EQ(Decode("=41=\n\nB"), "A\nB");  // but two LFs are a break and a line end
    EXPECT_EQ(Decode("x=3d=3D"), "x==");
    EXPECT_EQ(Decode("a\r\nb\rc"), "a\n\nb\nc");  // every CR and LF comes out as LF
}

TEST(QuotedPrintableTest, BadEscapesAreCountedAndDecodingGoesOn) {
    int errors = -1;
    EXPECT_EQ(Decode("=4", &errors), "");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(Decode("=", &errors), "");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(Decode("a=G1b=4Zc=41", &errors), "abcA");
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(Decode("=41", &errors), "A");
    EXPECT_EQ(errors, 0);
}

TEST(QuotedPrintableTest, BoundedSinkKeepsCapacityLessOne) {
    EXPECT_EQ(Qp::EncodeMemory("abcdef", 4, true), "abc");
    EXPECT_EQ(Qp::EncodeMemory(" ", 3, true), "=2");  // cut inside an escape, as a buffer is
    EXPECT_EQ(Qp::EncodeMemory("abc", 1, true), "");
    EXPECT_EQ(Qp::EncodeMemory("abc", 0, true), "");
    // The mail body cut: a 779-byte buffer holds 778 decoded bytes.
    EXPECT_EQ(Qp::DecodeMemory(std::string(2000, 'm'), 779, false).size(), 778u);
}

TEST(QuotedPrintableTest, RoundTripsRandomBinary) {
    std::mt19937 rng(5);
    for (std::size_t n : {0, 1, 74, 75, 76, 1000, 20000}) {
        std::string data(n, '\0');
        for (char& c : data) c = static_cast<char>(rng() & 0xFF);
        for (bool crlf : {true, false}) {
            const std::string text = Qp::EncodeMemory(data, kBig, crlf);
            std::size_t line = 0;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text[i] == '\n' || text[i] == '\r') {
                    line = 0;
                } else {
                    ASSERT_LE(++line, 76u) << "a line longer than 75 characters before its '='";
                }
            }
            int errors = -1;
            EXPECT_EQ(Decode(text, &errors), data) << n << (crlf ? " CR LF" : " LF");
            EXPECT_EQ(errors, 0);
        }
    }
}

class QuotedPrintableFileTest : public test::TempHome {};

TEST_F(QuotedPrintableFileTest, FileFormsCreateAppendAndDecodeText) {
    const std::string melody = std::string("MLD\x00\x10\r\n=", 8) + std::string(100, 'z');
    test::WriteFileBytes(Home() / "in.mld", melody);
    test::WriteFileBytes(Home() / "out.txt", "X-BODY;ENCODING=QUOTED-PRINTABLE:");
    ASSERT_EQ(Qp::EncodeFile("in.mld", "out.txt", 0), 1);  // append
    const std::string appended = test::ReadFileBytes(Home() / "out.txt");
    EXPECT_EQ(appended, "X-BODY;ENCODING=QUOTED-PRINTABLE:" + Qp::EncodeMemory(melody, kBig, true));
    ASSERT_EQ(Qp::EncodeFile("in.mld", "out.txt", 1), 1);  // create
    const std::string encoded = test::ReadFileBytes(Home() / "out.txt");
    EXPECT_EQ(encoded, Qp::EncodeMemory(melody, kBig, true));

    // The decoder reads its source as text: the CR LF of the soft breaks arrive as LF.
    ASSERT_EQ(Qp::DecodeFile("out.txt", "back.mld"), 1);
    EXPECT_EQ(test::ReadFileBytes(Home() / "back.mld"), melody);

    EXPECT_EQ(Qp::EncodeFile("missing", "x.txt", 1), 0);
    EXPECT_EQ(Qp::DecodeFile("missing", "x.txt"), 0);
    EXPECT_EQ(Qp::EncodeFile("in.mld", "no/such/folder/x.txt", 1), 0);
}

}  // namespace
}  // namespace sorvanto
