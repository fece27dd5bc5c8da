#include <gtest/gtest.h>

#include "common/sjis.h"
#include "melody/mld_data.h"
#include "melody/mld_info.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::DataPath;
using test::ReadFileBytes;

class MldDataTest : public test::TempHome {};

std::vector<std::string> Utf8Lines(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(sjis::ToUtf8(l));
    return out;
}

TEST_F(MldDataTest, WalksHeaderChunksAndTracks) {
    MldData m;
    const std::string bytes = ReadFileBytes(DataPath("mld/sample.mld"));
    ASSERT_EQ(m.Load(DataPath("mld/sample.mld").string()), static_cast<int>(bytes.size()));
    EXPECT_EQ(m.DataLength() + 8, bytes.size());
    EXPECT_EQ(m.HeaderTrackCount(), 2);
    ASSERT_EQ(m.TrackCount(), 2);
    // Each track's events are the bytes after its 8-byte chunk head.
    for (int i = 0; i < 2; ++i) {
        const MldTrack& t = m.Track(i);
        EXPECT_EQ(bytes.substr(t.offset, 4), "trac");
        EXPECT_EQ(m.TrackEvents(i), std::string_view(bytes).substr(t.offset + 8, t.declared_length));
    }
    EXPECT_EQ(m.Track(1).offset, m.Track(0).offset + 8 + m.Track(0).length);
    EXPECT_EQ(Utf8Lines(MldInfoLines(m)),
              (std::vector<std::string>{"タイトル [テスト曲]", "データサイズ 202", "データタイプ 1/0",
                                        "トラック数 2 (8和音)", "入手経路：Network 著作権：有り",
                                        "MLD Format Version 0200", "作成日 20030415", "Copyright [Quillrock]",
                                        "Prot [none]", "Note 2 0", "Exstend 2 2"}));
}

TEST_F(MldDataTest, SourceRoutesAndAbsentChunks) {
    EXPECT_EQ(Utf8Lines(MldInfoLines(DataPath("mld/long_notes.mld").string())),
              (std::vector<std::string>{"タイトル [Long]", "データサイズ 62", "データタイプ 1/0", "トラック数 1 (4和音)",
                                        "入手経路：外部I/F 著作権：有り", "Note 2 1"}));
    const auto tempos = Utf8Lines(MldInfoLines(DataPath("mld/tempos.mld").string()));
    ASSERT_EQ(tempos.size(), 5u);
    EXPECT_EQ(tempos[4], "入手経路：端末入力 著作権：無し");
}

TEST_F(MldDataTest, InvalidFilesLoadAsNothing) {
    test::WriteFileBytes("nomagic.mld", std::string("MELO\0\0\0\x05\0\0\0\0\0", 13));
    test::WriteFileBytes("short.mld", std::string("melo\0\0\0\x02\0\0", 10));
    for (const char* path : {"missing.mld", "nomagic.mld", "short.mld"}) {
        MldData m;
        EXPECT_EQ(m.Load(path), 0) << path;
        EXPECT_EQ(m.TrackCount(), 0);
        EXPECT_EQ(m.Save("out.mld"), 0);
        EXPECT_EQ(Utf8Lines(MldInfoLines(path)), std::vector<std::string>{"不正なデータファイル"});
    }
    EXPECT_FALSE(std::filesystem::exists("out.mld"));
}

TEST_F(MldDataTest, WalkStopsAtTrackCountUnknownChunkAndImageEnd) {
    MldData m;
    m.Load(DataPath("mld/extra_tracks.mld").string());
    EXPECT_EQ(m.TrackCount(), 2);
    m.Load(DataPath("mld/unknown_chunk.mld").string());
    EXPECT_TRUE(m.Chunk(MldChunkId::kTitle));
    EXPECT_EQ(m.TrackCount(), 0);
    // Only the first 12000 bytes are read; the track that straddles them keeps what was read.
    EXPECT_EQ(m.Load(DataPath("mld/big.mld").string()), 12000);
    ASSERT_EQ(m.TrackCount(), 2);
    EXPECT_EQ(m.Track(1).events_offset + m.Track(1).length, 12000u);
    EXPECT_LT(m.Track(1).length, m.Track(1).declared_length);
}

TEST_F(MldDataTest, DeclaredLengthsNeverReachPastTheBytesRead) {
    MldData m;
    ASSERT_GT(m.Load(DataPath("mld/bad_track_length.mld").string()), 0);
    ASSERT_EQ(m.TrackCount(), 1);
    EXPECT_EQ(m.Track(0).declared_length, 0x7FFFFFF0u);
    EXPECT_EQ(m.Track(0).events_offset + m.Track(0).length, static_cast<std::size_t>(m.BytesRead()));

    // A title whose length runs past the end is not taken; one of 300 bytes shows 259.
    std::string head("melo\0\0\0\0\0\0\1\0\1", 13);
    m.Parse(head + "titl\x01\x00" + "abc");
    EXPECT_FALSE(m.Chunk(MldChunkId::kTitle));
    m.Parse(head + "titl\x01\x2C" + std::string(300, 'x'));
    EXPECT_EQ(m.ChunkText(MldChunkId::kTitle), std::string(259, 'x'));
    // A fixed-size chunk needs its whole fixed size.
    m.Parse(head + std::string("note\0\0\0", 7));
    EXPECT_FALSE(m.Chunk(MldChunkId::kNote));
}

TEST_F(MldDataTest, SeventeenTracksAreCutToSixteen) {
    MldData m;
    ASSERT_GT(m.Load(DataPath("mld/tracks17.mld").string()), 0);
    EXPECT_EQ(m.HeaderTrackCount(), 17);
    EXPECT_EQ(m.TrackCount(), 16);
}

TEST_F(MldDataTest, SaveWritesExactlyTheDeclaredLength) {
    MldData m;
    const std::string bytes = ReadFileBytes(DataPath("mld/trailing.mld"));
    ASSERT_GT(m.Load(DataPath("mld/trailing.mld").string()), 0);
    EXPECT_EQ(m.Save("Melody\\fixed.mld"), 0);  // the folder does not exist
    std::filesystem::create_directory("Melody");
    ASSERT_EQ(m.Save("Melody\\fixed.mld"), static_cast<int>(bytes.size() - 10));
    EXPECT_EQ(ReadFileBytes("Melody/fixed.mld"), bytes.substr(0, bytes.size() - 10));

    // A data length longer than the image would need bytes that were never read.
    m.Load(DataPath("mld/big.mld").string());
    EXPECT_EQ(m.Save("big.mld"), 0);
    std::string zero("melo\0\0\0\0\0\0\1\0\0", 13);
    m.Parse(zero);
    EXPECT_EQ(m.Save("zero.mld"), 0);
    EXPECT_FALSE(std::filesystem::exists("big.mld") || std::filesystem::exists("zero.mld"));
}

}  // namespace
}  // namespace sorvanto
