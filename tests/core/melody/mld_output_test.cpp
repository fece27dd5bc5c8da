#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "melody/mld_offline.h"
#include "melody/mld_player.h"
#include "melody/smf_writer.h"
#include "mld_builder.h"
#include "platform/midi_out.h"
#include "platform/midi_out_fluidsynth.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::DataPath;
using test::ReadFileBytes;

std::uint32_t Be(const std::string& s, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | static_cast<std::uint8_t>(s.at(at + i));
    return v;
}

// Reads back the note and program events of a format 1 file, slot = port x 16 + channel.
std::vector<TimedMidiMessage> ParseSmf(const std::string& f, int* division) {
    std::vector<TimedMidiMessage> out;
    EXPECT_EQ(f.substr(0, 4), "MThd");
    EXPECT_EQ(Be(f, 8, 2), 1u);
    const int tracks = static_cast<int>(Be(f, 10, 2));
    *division = static_cast<int>(Be(f, 12, 2));
    std::size_t pos = 14;
    for (int t = 0; t < tracks; ++t) {
        EXPECT_EQ(f.substr(pos, 4), "MTrk");
        const std::size_t end = pos + 8 + Be(f, pos + 4, 4);
        pos += 8;
        std::uint64_t time = 0;
        int port = 0;
        while (pos < end) {
            std::uint64_t delta = 0;
            std::uint8_t b;
            do {
                b = static_cast<std::uint8_t>(f.at(pos++));
                delta = (delta << 7) | (b & 0x7F);
            } while (b & 0x80);
            time += delta;
            const std::uint8_t status = static_cast<std::uint8_t>(f.at(pos++));
            if (status == 0xFF) {
                const std::uint8_t type = static_cast<std::uint8_t>(f.at(pos++));
                const std::size_t len = static_cast<std::uint8_t>(f.at(pos++));
                if (type == 0x21) port = static_cast<std::uint8_t>(f.at(pos));
                if (type == 0x51) {
                    EXPECT_EQ(Be(f, pos, 3), 500000u);
                }
                pos += len;
                continue;
            }
            const bool two = (status & 0xF0) != 0xC0;
            MidiMessage m{static_cast<std::uint8_t>(status & 0xF0), static_cast<std::uint8_t>(port * 16 + (status & 0x0F)),
                          static_cast<std::uint8_t>(f.at(pos)), two ? static_cast<std::uint8_t>(f.at(pos + 1)) : std::uint8_t{0}};
            pos += two ? 2 : 1;
            out.push_back({time, m});
        }
        EXPECT_EQ(pos, end);
    }
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.period < b.period; });
    return out;
}

MldData LoadFixture(const std::string& name) {
    MldData m;
    EXPECT_GT(m.Load(DataPath("mld/" + name).string()), 0) << name;
    return m;
}

TEST(MldOutput, MidiFileCarriesExactlyWhatThePlayerSends) {
    for (const char* name : {"sample.mld", "tempos.mld", "tracks17.mld", "long_notes.mld"}) {
        MldRecording rec;
        ASSERT_TRUE(RecordMelody(LoadFixture(name), rec)) << name;
        ASSERT_FALSE(rec.messages.empty());
        int division = 0;
        const auto parsed = ParseSmf(BuildStandardMidiFile(rec.messages, rec.periods), &division);
        EXPECT_EQ(division, 100);  // 100 per quarter at 120 bpm: one file tick per 5 ms period
        // Compare per slot: the file groups slots into tracks, which reorders across slots only.
        std::map<int, std::vector<TimedMidiMessage>> want, got;
        for (const auto& t : rec.messages) want[t.message.channel].push_back(t);
        for (const auto& t : parsed) got[t.message.channel].push_back(t);
        EXPECT_EQ(got, want) << name;
    }
}

TEST(MldOutput, MelodyEndsOnItsLastRelease) {
    MldRecording rec;
    ASSERT_TRUE(RecordMelody(LoadFixture("sample.mld"), rec));
    // Timebase 48 x tempo 125: each delta tick is 2 periods, plus the period that plays it.
    // Lead: 8 waits of 24 ticks after the first note, last gate 24 ticks -> 48 periods.
    EXPECT_EQ(rec.periods, 1u + 8 * 49 + 48);
    EXPECT_EQ(rec.messages.back().message.status, 0x80);
    int on = 0, off = 0;
    for (const auto& t : rec.messages) {
        on += t.message.status == 0x90;
        off += t.message.status == 0x80;
    }
    EXPECT_EQ(on, 9 + 12);
    EXPECT_EQ(off, on);  // every note is released, none left hanging
}

TEST(MldOutput, DamagedMelodiesEndAndStayInRange) {
    for (const char* name : {"bad_track_length.mld", "endless_block.mld", "zero_tempo.mld", "tracks17.mld",
                             "big.mld", "unknown_chunk.mld"}) {
        MldData m;
        m.Load(DataPath(std::string("mld/") + name).string());
        MldRecording rec;
        const bool played = RecordMelody(m, rec, 127, 20000);
        EXPECT_EQ(played, m.TrackCount() > 0) << name;
        EXPECT_FALSE(rec.cut) << name;
        for (const auto& t : rec.messages) {
            EXPECT_LT(t.message.channel, 64) << name;
            EXPECT_LT(t.message.data1, 128) << name;
            EXPECT_LT(t.message.data2, 128) << name;
        }
    }
    // A tempo of 0 keeps the previous tempo: the notes around it keep their spacing.
    MldRecording zero;
    ASSERT_TRUE(RecordMelody(LoadFixture("zero_tempo.mld"), zero));
    std::vector<std::uint64_t> ons;
    for (const auto& t : zero.messages)
        if (t.message.status == 0x90) ons.push_back(t.period);
    EXPECT_EQ(ons, (std::vector<std::uint64_t>{1, 1 + 11 + 11, 1 + 11 + 11 + 11}));
    // Seventeen tracks play as sixteen, the last on slot 63.
    MldRecording many;
    ASSERT_TRUE(RecordMelody(LoadFixture("tracks17.mld"), many));
    std::set<int> channels;
    for (const auto& t : many.messages) channels.insert(t.message.channel);
    EXPECT_EQ(channels.size(), 16u);
    EXPECT_EQ(*channels.rbegin(), 63);

    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = ReadFileBytes(DataPath("mld/tempos.mld"));
        for (int k = 0; k < 8; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
        if (round % 3 == 0) bytes.resize(rng() % bytes.size());
        MldData m;
        m.Parse(bytes);
        MldRecording rec;
        RecordMelody(m, rec, 127, 20000);
        EXPECT_LE(rec.periods, 20000u);
    }
}

struct Wav {
    int channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> samples;
};

Wav ReadWav(const std::string& f) {
    Wav w;
    auto le = [&](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(f.at(at + i));
        return v;
    };
    EXPECT_EQ(f.substr(0, 4), "RIFF");
    EXPECT_EQ(le(4, 4) + 8, f.size());
    EXPECT_EQ(f.substr(8, 8), "WAVEfmt ");
    w.channels = static_cast<int>(le(22, 2));
    w.rate = static_cast<int>(le(24, 4));
    w.bits = static_cast<int>(le(34, 2));
    EXPECT_EQ(f.substr(36, 4), "data");
    const std::size_t n = le(40, 4) / 2;
    EXPECT_EQ(44 + n * 2, f.size());
    for (std::size_t i = 0; i < n; ++i) w.samples.push_back(static_cast<std::int16_t>(le(44 + 2 * i, 2)));
    return w;
}

double Rms(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

class MldWavTest : public test::TempHome {};

TEST_F(MldWavTest, RenderedMelodyIsAudibleAndAsLongAsTheMelody) {
    if (!FluidSynthMidiOut::Built()) GTEST_SKIP() << "this build has no FluidSynth to render with";
    const std::string font = FindSoundFont("");
    if (font.empty()) GTEST_SKIP() << "no sound font installed";
    const MldData m = LoadFixture("sample.mld");
    MldRecording rec;
    ASSERT_TRUE(RecordMelody(m, rec));
    std::string error;
    ASSERT_TRUE(RenderMelodyWav(m, font, "out.wav", &error)) << error;
    const Wav w = ReadWav(ReadFileBytes("out.wav"));
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, 48000);
    EXPECT_EQ(w.bits, 16);
    // 240 frames per period, then one second of release.
    const std::size_t melody_samples = rec.periods * 240 * 2;
    ASSERT_EQ(w.samples.size(), melody_samples + 48000 * 2);
    // Every half second of the melody sounds; the end of the tail has died away.
    for (std::size_t from = 0; from + 48000 <= melody_samples; from += 48000)
        EXPECT_GT(Rms(w.samples, from, from + 48000), 300.0) << "at sample " << from;
    EXPECT_LT(Rms(w.samples, w.samples.size() - 4800, w.samples.size()), 30.0);

    EXPECT_FALSE(RenderMelodyWav(m, "/nonexistent.sf2", "bad.wav", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists("bad.wav"));
}

// The reasons reach the program's Japanese log; a user reading it should not meet English.
TEST(MidiOutReasons, AreGivenInJapanese) {
    auto japanese = [](const std::string& reason) {
        return std::any_of(reason.begin(), reason.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    };
    std::string error;
    EXPECT_EQ(OpenMidiOut(MidiOutSettings{"none", ""}, &error), nullptr);
    EXPECT_EQ(error, "MIDI 出力がオフになっています (MidiOut=none)");
    EXPECT_EQ(OpenMidiOut(MidiOutSettings{"speaker", ""}, &error), nullptr);
    EXPECT_EQ(error, "MIDI 出力 'speaker' は使えません");
    // FluidSynth missing, or the font not there: which one depends on the machine.
    error.clear();
    EXPECT_EQ(OpenMidiOut(MidiOutSettings{"fluidsynth", "/nonexistent/none.sf2"}, &error), nullptr);
    EXPECT_TRUE(japanese(error)) << error;
    error.clear();
    EXPECT_EQ(OpenMidiOut(MidiOutSettings{"alsa:nowhere", ""}, &error), nullptr);
    EXPECT_TRUE(japanese(error)) << error;
    error.clear();
    EXPECT_FALSE(RenderMelodyWav(MldData{}, "/nonexistent/none.sf2", "out.wav", &error));
    EXPECT_TRUE(japanese(error)) << error;

    MldPlayer player;
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.LastError(), "着メロが読み込まれていません");
}

}  // namespace

}  // namespace sorvanto
