#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/fs.h"
#include "platform/text_file.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

class FilesTest : public test::TempHome {};

TEST_F(FilesTest, StoredPathsMapToNativePaths) {
    EXPECT_EQ(fs::NativePath(".\\mldfile.ini"), "mldfile.ini");
    EXPECT_EQ(fs::NativePath("Melody\\0A1B2C3D4E5"), "Melody/0A1B2C3D4E5");
    EXPECT_EQ(fs::NativePath("TmpFiles\\4a1b2c3d telecom_pb.vcf"), "TmpFiles/4a1b2c3d telecom_pb.vcf");
    EXPECT_EQ(fs::NativePath("/abs/x"), "/abs/x");
    ASSERT_TRUE(fs::CreateFolder("Melody\\"));
    EXPECT_TRUE(fs::CreateFolder("Melody"));  // existing folder is no error
    ASSERT_TRUE(fs::WriteFile("Melody\\a", "abc"));
    EXPECT_EQ(fs::FileSize(".\\Melody\\a"), 3);
    EXPECT_EQ(fs::FileSize("Melody\\missing"), -1);
}

TEST_F(FilesTest, MoveNeverReplacesAndCopyKeepsTargetOnRefusal) {
    WriteFileBytes("a", "A");
    WriteFileBytes("b", "B");
    EXPECT_FALSE(fs::MoveFile("a", "b"));
    EXPECT_EQ(ReadFileBytes("b"), "B");
    EXPECT_TRUE(fs::MoveFile("a", "c"));
    EXPECT_FALSE(fs::Exists("a"));
    EXPECT_FALSE(fs::CopyFile("c", "b", false));
    EXPECT_EQ(ReadFileBytes("b"), "B");
    EXPECT_TRUE(fs::CopyFile("c", "b", true));
    EXPECT_EQ(ReadFileBytes("b"), "A");
    EXPECT_FALSE(fs::CopyFile("missing", "d", true));
    EXPECT_FALSE(fs::Exists("d"));
    EXPECT_TRUE(fs::DeleteFile("missing"));
}

TEST_F(FilesTest, TextReaderBehavesLikeTextModeFgets) {
    WriteFileBytes("t.txt", "ab\r\ncdefgh\r\nlone\rcr\r\nlast");
    TextReader r("t.txt");
    ASSERT_TRUE(r.IsOpen());
    std::string line;
    ASSERT_TRUE(r.ReadLine(line, 512));
    EXPECT_EQ(line, "ab\n");
    ASSERT_TRUE(r.ReadLine(line, 4));  // buffer of 4: three bytes per piece
    EXPECT_EQ(line, "cde");
    ASSERT_TRUE(r.ReadLine(line, 4));
    EXPECT_EQ(line, "fgh");
    ASSERT_TRUE(r.ReadLine(line, 4));
    EXPECT_EQ(line, "\n");
    ASSERT_TRUE(r.ReadLine(line, 512));
    EXPECT_EQ(line, "lone\rcr\n");
    EXPECT_EQ(r.Read(100), "last");
    EXPECT_FALSE(r.ReadLine(line, 512));
    EXPECT_FALSE(TextReader("missing").IsOpen());
}

TEST_F(FilesTest, TextReaderJoinsCrLfAcrossReads) {
    WriteFileBytes("u.txt", "x\r\ny");
    TextReader r("u.txt");
    EXPECT_EQ(r.Read(1), "x");
    EXPECT_EQ(r.Read(1), "\n");
    EXPECT_EQ(r.Read(5), "y");
}

// Where two long texts part (npos when equal): their whole diff would not fit in a test log.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
    const auto [pa, pb] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return pa == a.end() && pb == b.end() ? std::string::npos : static_cast<std::size_t>(pa - a.begin());
}

// The reader takes the file in blocks: a CR LF may straddle two of them, and the untranslated
// rest of a file must start exactly after the last line read.
TEST_F(FilesTest, TextReaderAgreesAcrossItsBlocks) {
    std::mt19937 rng(7);
    std::string raw(200003, 'a');
    for (char& c : raw) c = "ab\r\n\r\n"[rng() % 6];
    raw[65535] = '\r', raw[65536] = '\n';   // a pair cut by the first block's end
    raw[131071] = '\r', raw[131072] = 'x';   // a lone CR at the second block's end
    WriteFileBytes("big.txt", raw);
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text += raw[i];
    }
    for (std::size_t size : {2u, 3u, 17u, 512u, 300000u}) {
        TextReader r("big.txt");
        std::string all, piece;
        while (r.ReadLine(piece, size)) {
            ASSERT_LE(piece.size(), size - 1);
            if (piece.size() < size - 1 && all.size() + piece.size() < text.size()) {
                ASSERT_EQ(piece.back(), '\n');
            }
            all += piece;
        }
        EXPECT_EQ(FirstDifference(all, text), std::string::npos) << "buffer of " << size;
    }

    std::string head;
    for (int i = 0; i < 8000; ++i) head += "line " + std::to_string(100000 + i) + "\r\n";
    const std::string tail = std::string("\rx\r\n\0\xFF", 6) + raw;
    WriteFileBytes("mixed.txt", head + tail);
    TextReader r("mixed.txt");
    std::string line;
    for (int i = 0; i < 8000; ++i) ASSERT_TRUE(r.ReadLine(line, 512));
    EXPECT_EQ(line, "line 107999\n");
    EXPECT_EQ(FirstDifference(r.ReadRaw(1 << 20), tail), std::string::npos);
}

TEST_F(FilesTest, TextWriterWritesCrLf) {
    TextWriter w("w.txt", false);
    ASSERT_TRUE(w.IsOpen());
    w.Write("a\nb\n");
    ASSERT_TRUE(w.Close());
    TextWriter again("w.txt", true);
    again.Write("c\n");
    again.Close();
    EXPECT_EQ(ReadFileBytes("w.txt"), "a\r\nb\r\nc\r\n");
}

}  // namespace
}  // namespace sorvanto
