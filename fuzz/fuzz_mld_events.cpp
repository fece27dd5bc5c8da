// Feeds bytes to the player's event decoder as one track (the first byte picks 3- or 4-byte
// notes), ticking it offline to the end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "melody/mld_offline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 4000) return 0;
    const std::string events(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string note = std::string("note\0\2\0", 7) + static_cast<char>(data[0] & 1);
    std::string body = std::string("\0\3\1\0\1", 5) + note + "trac";
    for (int s = 24; s >= 0; s -= 8) body.push_back(static_cast<char>((events.size() >> s) & 0xFF));
    body += events;
    std::string file = "melo";
    for (int s = 24; s >= 0; s -= 8) file.push_back(static_cast<char>((body.size() >> s) & 0xFF));
    sorvanto::MldData m;
    m.Parse(file + body);
    sorvanto::MldRecording rec;
    sorvanto::RecordMelody(m, rec, 100, 3000);
    return 0;
}
