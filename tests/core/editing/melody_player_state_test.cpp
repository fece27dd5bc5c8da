#include "editing/melody_player_state.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/sjis.h"
#include "melody/mld_data.h"
#include "platform/ini_file.h"
#include "platform/midi_out_recorder.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::DataPath;
using test::WriteFileBytes;

MldPlayer::Options Recording() {
    MldPlayer::Options options;
    options.open_output = [](std::string*) { return std::make_shared<RecordingMidiOut>(); };
    options.use_timer = false;
    return options;
}

class MelodyPlayerStateTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        std::filesystem::copy_file(DataPath("store/melody/song.mld"), Home() / "song.mld");
    }
};

TEST_F(MelodyPlayerStateTest, VolumeStepsWithinItsRangeAndIsKeptInTheIndex) {
    WriteFileBytes(Home() / "mldfile.ini", "[System]\r\nCount=0\r\n[MelodyPrev]\r\nVolum=126\r\n");
    {
        MelodyPlayerState state(".\\mldfile.ini", Recording());
        EXPECT_EQ(state.Volume(), 126);
        EXPECT_EQ(state.Player().MasterVolume(), 126);
        EXPECT_TRUE(state.VolumeUp());
        EXPECT_FALSE(state.VolumeUp());  // 127 is the top
        EXPECT_EQ(state.Volume(), 127);
        // Another writer of the index while the window is open keeps its change.
        IniFile other(".\\mldfile.ini");
        other.SetInt("System", "Count", 3);
        other.Save();
    }
    IniFile index(".\\mldfile.ini");
    EXPECT_EQ(index.GetInt("MelodyPrev", "Volum", 0), 127);
    EXPECT_EQ(index.GetInt("System", "Count", 0), 3);

    WriteFileBytes(Home() / "mldfile.ini", "[MelodyPrev]\r\nVolum=1\r\n");
    {
        MelodyPlayerState low(".\\mldfile.ini", Recording());
        EXPECT_TRUE(low.VolumeDown());
        EXPECT_FALSE(low.VolumeDown());
        EXPECT_EQ(low.Volume(), 0);
        EXPECT_EQ(low.Player().MasterVolume(), 1);  // the player cannot send 0
    }
    EXPECT_EQ(IniFile(".\\mldfile.ini").GetInt("MelodyPrev", "Volum", -1), 0);

    // Missing or out of range: the top; no index: nothing is written.
    WriteFileBytes(Home() / "mldfile.ini", "[MelodyPrev]\r\nVolum=900\r\n");
    EXPECT_EQ(MelodyPlayerState(".\\mldfile.ini", Recording()).Volume(), 127);
    WriteFileBytes(Home() / "mldfile.ini", "[MelodyPrev]\r\nVolum=-4\r\n");
    EXPECT_EQ(MelodyPlayerState(".\\mldfile.ini", Recording()).Volume(), 0);
    std::filesystem::remove(Home() / "mldfile.ini");
    { MelodyPlayerState none("", Recording()); }
    EXPECT_FALSE(std::filesystem::exists(Home() / "mldfile.ini"));
}

TEST_F(MelodyPlayerStateTest, ButtonsFollowPlayStopAndTheEndOfTheMelody) {
    MelodyPlayerState state("", Recording());
    EXPECT_TRUE(state.PlayEnabled());
    EXPECT_FALSE(state.StopEnabled());
    EXPECT_FALSE(state.Play());  // no melody yet
    EXPECT_FALSE(state.TakeMelody(""));
    EXPECT_TRUE(state.PlayEnabled());

    ASSERT_TRUE(state.TakeMelody(std::string("song.mld\0junk", 13)));
    EXPECT_EQ(state.MelodyPath(), "song.mld");
    ASSERT_TRUE(state.Play());
    EXPECT_TRUE(state.Player().Playing());
    EXPECT_FALSE(state.PlayEnabled());
    EXPECT_TRUE(state.StopEnabled());
    MldData melody;
    melody.Load("song.mld");
    EXPECT_FALSE(state.Title().empty());
    EXPECT_EQ(state.Title(), melody.ChunkText(MldChunkId::kTitle));
    EXPECT_TRUE(state.PlayError().empty());
    EXPECT_TRUE(state.PlayErrorLogLine().empty());

    // The timer's test does nothing while the melody plays, and stops it once it has ended.
    EXPECT_FALSE(state.CheckFinished());
    EXPECT_FALSE(state.PlayEnabled());
    for (int i = 0; i < 200000 && !state.Player().Finished(); ++i) state.Player().Tick();
    ASSERT_TRUE(state.Player().Finished());
    EXPECT_TRUE(state.CheckFinished());
    EXPECT_TRUE(state.PlayEnabled());
    EXPECT_FALSE(state.Player().Playing());

    // Playing again while one plays starts the melody anew.
    state.Play();
    state.Player().Tick();
    const auto periods = state.Player().Periods();
    state.Play();
    EXPECT_LT(state.Player().Periods(), periods);
    state.Stop();
    EXPECT_FALSE(state.Player().Playing());
    EXPECT_TRUE(state.PlayEnabled());
}

TEST_F(MelodyPlayerStateTest, AJapaneseReasonReachesTheLogInShiftJis) {
    MldPlayer::Options silent;
    silent.open_output = [](std::string* error) {
        *error = "FluidSynth がインストールされていません (libfluidsynth.so.3)";
        return std::shared_ptr<MidiOut>();
    };
    silent.use_timer = false;
    MelodyPlayerState state("", silent);
    state.TakeMelody("song.mld");
    state.Play();
    EXPECT_EQ(state.PlayErrorLogLine(),
              sjis::Lit("着メロを再生できませんでした(FluidSynth がインストールされていません (libfluidsynth.so.3))"));
}

TEST_F(MelodyPlayerStateTest, MelodyThatCannotSoundSaysWhy) {
    MldPlayer::Options silent;
    silent.open_output = [](std::string* error) {
        *error = "MIDI output is switched off (MidiOut=none)";
        return std::shared_ptr<MidiOut>();
    };
    silent.use_timer = false;
    MelodyPlayerState state("", silent);
    state.TakeMelody("song.mld");
    EXPECT_TRUE(state.Play());
    EXPECT_FALSE(state.Player().Playing());
    EXPECT_FALSE(state.PlayEnabled());  // the buttons still switch
    EXPECT_EQ(state.PlayErrorLogLine(),
              sjis::Lit("着メロを再生できませんでした(MIDI output is switched off (MidiOut=none))"));

    WriteFileBytes(Home() / "bad.mld", "not a melody");
    MelodyPlayerState bad("", Recording());
    bad.TakeMelody("bad.mld");
    bad.Play();
    EXPECT_FALSE(bad.PlayError().empty());
    EXPECT_TRUE(bad.Title().empty());
}

}  // namespace
}  // namespace sorvanto
