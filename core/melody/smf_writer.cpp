#include "melody/smf_writer.h"

#include <array>
#include <set>
#include <utility>

namespace sorvanto {

namespace {

void PutBe(std::string& out, std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutVarLen(std::string& out, std::uint64_t v) {
    if (v > 0x0FFFFFFF) v = 0x0FFFFFFF;  // the largest delta a file can carry
    char buf[4];
    int n = 0;
    buf[n++] = static_cast<char>(v & 0x7F);
    while (v >>= 7) buf[n++] = static_cast<char>(0x80 | (v & 0x7F));
    while (n) out.push_back(buf[--n]);
}

std::string Chunk(const std::string& events) {
    std::string c = "MTrk";
    PutBe(c, static_cast<std::uint32_t>(events.size()), 4);
    return c + events;
}

}  // namespace

std::string BuildStandardMidiFile(const std::vector<TimedMidiMessage>& messages, std::uint64_t end_period) {
    std::string conductor;
    PutVarLen(conductor, 0);
    conductor += std::string("\xFF\x51\x03\x07\xA1\x20", 6);  // 500000 us per quarter
    PutVarLen(conductor, 0);
    conductor += std::string("\xFF\x2F\x00", 3);
    std::vector<std::string> tracks{Chunk(conductor)};

    for (int group = 0; group < 4; ++group) {
        std::string ev;
        std::uint64_t last = 0;
        std::set<std::pair<int, int>> on;  // (channel, key) still sounding
        auto put = [&](std::uint64_t when, std::uint8_t status, std::uint8_t d1, std::uint8_t d2, bool two) {
            PutVarLen(ev, when - last);
            last = when;
            ev.push_back(static_cast<char>(status));
            ev.push_back(static_cast<char>(d1 & 0x7F));
            if (two) ev.push_back(static_cast<char>(d2 & 0x7F));
        };
        bool any = false;
        for (const TimedMidiMessage& t : messages) {
            const MidiMessage& m = t.message;
            if (m.channel / 16 != group) continue;
            if (!any) {
                PutVarLen(ev, 0);
                ev += std::string("\xFF\x21\x01", 3);  // MIDI port
                ev.push_back(static_cast<char>(group));
                any = true;
            }
            const int ch = m.channel % 16;
            const auto status = static_cast<std::uint8_t>((m.status & 0xF0) | ch);
            const std::uint64_t when = std::max(t.period, last);
            if ((m.status & 0xF0) == 0xC0) {
                put(when, status, m.data1, 0, false);
                continue;
            }
            if ((m.status & 0xF0) == 0x90) on.insert({ch, m.data1});
            if ((m.status & 0xF0) == 0x80) on.erase({ch, m.data1});
            put(when, status, m.data1, m.data2, true);
        }
        if (!any) continue;
        for (const auto& [ch, key] : on)
            put(std::max(end_period, last), static_cast<std::uint8_t>(0x80 | ch), static_cast<std::uint8_t>(key), 0, true);
        PutVarLen(ev, std::max(end_period, last) - last);
        ev += std::string("\xFF\x2F\x00", 3);
        tracks.push_back(Chunk(ev));
    }

    std::string file = "MThd";
    PutBe(file, 6, 4);
    PutBe(file, 1, 2);
    PutBe(file, static_cast<std::uint32_t>(tracks.size()), 2);
    PutBe(file, 100, 2);
    for (const auto& t : tracks) file += t;
    return file;
}

}  // namespace sorvanto
