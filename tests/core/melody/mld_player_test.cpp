#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "melody/mld_offline.h"
#include "melody/mld_player.h"
#include "mld_builder.h"
#include "platform/midi_out_recorder.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::Ext;
using test::Mld;
using test::Note;
using test::Tempo;

constexpr std::uint8_t kOn = 0x90;
constexpr std::uint8_t kOff = 0x80;
constexpr std::uint8_t kProgram = 0xC0;

TimedMidiMessage At(std::uint64_t period, std::uint8_t status, int channel, int d1, int d2) {
    return {period, MidiMessage{status, static_cast<std::uint8_t>(channel), static_cast<std::uint8_t>(d1),
                                static_cast<std::uint8_t>(d2)}};
}

// A player driven period by period against a recorder, as the timer would drive it.
class TickedPlayer {
public:
    TickedPlayer() : player_(MldPlayer::Options{[this](std::string*) { return out_; }, false}) {}
    MldPlayer& player() { return player_; }
    int Start(const std::string& bytes) {
        player_.Melody().Parse(bytes);
        return player_.Play();
    }
    void Run(int periods) {
        for (int i = 0; i < periods; ++i) {
            out_->SetPeriod(player_.Periods() + 1);
            player_.Tick();
        }
    }
    const std::vector<TimedMidiMessage>& Sent() const { return out_->Messages(); }
    std::shared_ptr<RecordingMidiOut> out_ = std::make_shared<RecordingMidiOut>();

private:
    MldPlayer player_;
};

TEST(MldPlayerTick, FirstNoteSoundsAtOnceAndAZeroGateHoldsOnePeriod) {
    TickedPlayer p;
    // The starting tempo product is 6000: a gate of 1 tick is 2 periods, a gate of 0 is 0 -> 1.
    ASSERT_NE(p.Start(Mld({Note(0, 0, 0x0F, 0) + Note(3, 0, 0x10, 1)})), 0);
    p.Run(12);
    EXPECT_EQ(p.Sent(), (std::vector<TimedMidiMessage>{At(1, kOn, 0, 60, 127), At(2, kOff, 0, 60, 0),
                                                       At(8, kOn, 0, 61, 127), At(10, kOff, 0, 61, 0)}));
    EXPECT_TRUE(p.player().Finished());
    EXPECT_FALSE(p.player().Sounding());
}

TEST(MldPlayerTick, ChordsAreReleasedTogetherAndANewNoteReleasesTheOldFirst) {
    TickedPlayer p;
    std::string chord = Note(0, 1, 0x0F, 3);
    for (int k = 1; k < 6; ++k) chord += Note(0, 1, 0x0F + k, 3);  // six notes: one too many
    ASSERT_NE(p.Start(Mld({chord + Note(2, 1, 0x20, 10)})), 0);
    p.Run(8);
    std::vector<TimedMidiMessage> expected;
    for (int k = 0; k < 5; ++k) expected.push_back(At(1, kOn, 1, 60 + k, 127));
    // Delta 2 at 6000 is due at period 6, before the chord's 6 periods of gate have run out.
    for (int k = 0; k < 5; ++k) expected.push_back(At(6, kOff, 1, 60 + k, 0));
    expected.push_back(At(6, kOn, 1, 0x20 + 45, 127));
    EXPECT_EQ(p.Sent(), expected);

    // Once the gate has run out, the chord's notes go off together on that period.
    TickedPlayer q;
    q.Start(Mld({Note(0, 2, 0x0F, 1) + Note(0, 2, 0x13, 1) + Note(9, 2, 0x16, 1)}));
    q.Run(25);
    EXPECT_EQ(q.Sent(), (std::vector<TimedMidiMessage>{At(1, kOn, 2, 60, 127), At(1, kOn, 2, 64, 127),
                                                       At(3, kOff, 2, 60, 0), At(3, kOff, 2, 64, 0),
                                                       At(20, kOn, 2, 67, 127), At(22, kOff, 2, 67, 0)}));
}

TEST(MldPlayerTick, ProgramChangeNeedsBothHalvesInOneRun) {
    TickedPlayer p;
    // Run 1: low then high (program 0x40 | 5 on part 2). Run 2: high then low on part 3.
    // Run 3 and 4: one half each, which never pair.
    const std::string events = Ext(0, 0xE0, (2 << 6) | 5) + Ext(0, 0xE1, (1 << 6) | 1) +  // completes on part 1
                               Ext(1, 0xE1, (3 << 6) | 0) + Ext(0, 0xE0, (3 << 6) | 0x2A) +
                               Ext(1, 0xE0, 7) + Ext(1, 0xE1, 1);
    ASSERT_NE(p.Start(Mld({"", events})), 0);  // on the second track: slots 4..7
    p.Run(20);
    EXPECT_EQ(p.Sent(), (std::vector<TimedMidiMessage>{At(1, kProgram, 5, 0x45, 0), At(4, kProgram, 7, 0x2A, 0)}));
}

TEST(MldPlayerTick, VelocityIsSlotVolumeTimesMasterVolume) {
    TickedPlayer p;
    p.player().SetMasterVolume(64);
    p.player().SetMasterVolume(0);
    p.player().SetMasterVolume(128);
    EXPECT_EQ(p.player().MasterVolume(), 64);
    ASSERT_NE(p.Start(Mld({Ext(0, 0xE2, (3 << 6) | 63) + Note(0, 3, 0, 1) + Note(0, 0, 1, 1)})), 0);
    p.Run(1);
    EXPECT_EQ(p.Sent(), (std::vector<TimedMidiMessage>{At(1, kOn, 3, 45, 63), At(1, kOn, 0, 46, 64)}));
}

TEST(MldPlayerTick, PlayStopAndFailuresToStart) {
    TickedPlayer p;
    EXPECT_EQ(p.player().Play(), 0);  // nothing loaded
    EXPECT_EQ(p.player().Stop(), 0);
    const int id = p.Start(Mld({Note(0, 0, 1, 200)}));
    ASSERT_NE(id, 0);
    p.Run(3);
    EXPECT_EQ(p.player().Play(), id);
    p.Run(1);
    EXPECT_EQ(p.Sent().size(), 1u);  // no restart: the note sounded once
    EXPECT_TRUE(p.player().Finished());  // the track is done while its last note still rings
    EXPECT_TRUE(p.player().Sounding());
    EXPECT_EQ(p.player().Stop(), 1);
    EXPECT_EQ(p.out_->SilenceCount(), 1);
    EXPECT_FALSE(p.player().Playing());
    EXPECT_FALSE(p.player().Finished());
    EXPECT_EQ(p.player().Stop(), 0);
    // A second Play is a fresh start with a new id.
    const int again = p.player().Play();
    EXPECT_NE(again, 0);
    EXPECT_NE(again, id);

    MldPlayer refused(MldPlayer::Options{[](std::string* e) {
                                             *e = "busy";
                                             return std::shared_ptr<MidiOut>();
                                         },
                                         false});
    refused.Melody().Parse(Mld({Note(0, 0, 1, 1)}));
    EXPECT_EQ(refused.Play(), 0);
    EXPECT_EQ(refused.LastError(), "busy");
    EXPECT_FALSE(refused.Playing());
}

TEST(MldPlayerTick, FourByteNotesWhenTheNoteChunkSaysSo) {
    const std::string note_chunk = std::string("note") + test::Be(2, 2) + test::Be(1, 2);
    TickedPlayer p;
    ASSERT_NE(p.Start(Mld({Note(0, 0, 1, 1) + "\x7F" + Note(0, 0, 2, 1) + std::string(1, '\0')}, note_chunk)), 0);
    p.Run(3);
    EXPECT_EQ(p.Sent(), (std::vector<TimedMidiMessage>{At(1, kOn, 0, 46, 127), At(1, kOn, 0, 47, 127),
                                                       At(3, kOff, 0, 46, 0), At(3, kOff, 0, 47, 0)}));
}

// Expected note-on periods from the timing rule: an event with delta d waits until the first
// period whose count since the previous event times the tempo product exceeds d x 12000.
struct Step {
    int delta;
    int timebase_code;  // -1: a note
    int value;
};

TEST(MldPlayerTiming, WaitsFollowTempoAndTimebase) {
    static const int kTimebase[16] = {6, 12, 24, 48, 96, 192, 384, 1, 15, 30, 60, 120, 240, 480, 960, 1};
    const std::vector<Step> steps = {{0, 3, 120}, {0, -1, 0},  {7, -1, 0},   {13, 5, 90},  {0, -1, 0},
                                     {40, -1, 0}, {3, 10, 200}, {100, -1, 0}, {1, 8, 33},   {5, -1, 0},
                                     {9, -1, 0},  {2, 14, 255}, {250, -1, 0}, {3, 7, 1},    {0, -1, 0},
                                     {1, -1, 0},  {0, 12, 17},  {255, -1, 0}};
    std::string events;
    std::vector<std::uint64_t> expected;
    std::uint64_t product = 6000;
    std::uint64_t period = 0;
    bool first = true;
    for (const Step& s : steps) {
        if (s.delta != 0 || first) period += std::uint64_t(s.delta) * 12000 / product + 1;
        first = false;
        if (s.timebase_code >= 0) {
            events += Tempo(s.delta, s.timebase_code, s.value);
            product = std::uint64_t(kTimebase[s.timebase_code]) * s.value;
        } else {
            events += Note(s.delta, 0, 10, 0);
            expected.push_back(period);
        }
    }
    MldData m;
    ASSERT_GT(m.Parse(Mld({events})), 0);
    MldRecording rec;
    ASSERT_TRUE(RecordMelody(m, rec));
    EXPECT_FALSE(rec.cut);
    std::vector<std::uint64_t> ons;
    for (const auto& t : rec.messages)
        if (t.message.status == kOn) ons.push_back(t.period);
    EXPECT_EQ(ons, expected);
}

TEST(MldPlayerTiming, TheRealTimerDrivesTheSameMessages) {
    const std::string bytes = Mld({Tempo(0, 4, 250) + Note(0, 0, 1, 4) + Note(8, 0, 2, 4) + Note(0, 0, 3, 4),
                                   Ext(0, 0xE0, 9) + Ext(0, 0xE1, 0) + Note(3, 0, 4, 20)});
    MldData m;
    m.Parse(bytes);
    MldRecording offline;
    ASSERT_TRUE(RecordMelody(m, offline));

    auto rec = std::make_shared<RecordingMidiOut>();
    MldPlayer player(MldPlayer::Options{[rec](std::string*) { return rec; }, true});
    player.Melody() = m;
    ASSERT_NE(player.Play(), 0);
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!(player.Finished() && !player.Sounding()) && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(player.Finished());
    EXPECT_EQ(player.Stop(), 1);
    ASSERT_EQ(rec->Messages().size(), offline.messages.size());
    for (std::size_t i = 0; i < offline.messages.size(); ++i)
        EXPECT_EQ(rec->Messages()[i].message, offline.messages[i].message) << i;
}

}  // namespace
}  // namespace sorvanto
