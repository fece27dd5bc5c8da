#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/midi_out_recorder.h"

// Small MLD byte builders for tests that need one event sequence in view.
namespace sorvanto::test {

inline std::string Be(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = bytes - 1; i >= 0; --i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}

inline std::string Note(int delta, int part, int number, int gate) {
    return {static_cast<char>(delta), static_cast<char>((part << 6) | number), static_cast<char>(gate)};
}

inline std::string Ext(int delta, int type, int value) {
    return {static_cast<char>(delta), '\xFF', static_cast<char>(type), static_cast<char>(value)};
}

inline std::string Tempo(int delta, int timebase_code, int tempo) { return Ext(delta, 0xC0 | timebase_code, tempo); }

// A melody of the given tracks' event bytes; extra_chunks go between the header and the tracks.
inline std::string Mld(const std::vector<std::string>& tracks, const std::string& extra_chunks = "",
                       int header_tracks = -1) {
    std::string body = extra_chunks;
    for (const auto& t : tracks) body += "trac" + Be(static_cast<std::uint32_t>(t.size()), 4) + t;
    const int count = header_tracks < 0 ? static_cast<int>(tracks.size()) : header_tracks;
    std::string after_length = Be(3, 2) + std::string{'\x01', '\x00', static_cast<char>(count)} + body;
    return "melo" + Be(static_cast<std::uint32_t>(after_length.size()), 4) + after_length;
}

}  // namespace sorvanto::test

namespace sorvanto {
inline void PrintTo(const TimedMidiMessage& t, std::ostream* os) {
    *os << "{" << t.period << ": " << std::hex << int(t.message.status) << std::dec << " ch" << int(t.message.channel)
        << " " << int(t.message.data1) << " " << int(t.message.data2) << "}";
}
}  // namespace sorvanto
