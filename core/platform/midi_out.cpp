#include "platform/midi_out.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/ini_file.h"
#include "platform/midi_out_alsa.h"
#include "platform/midi_out_fluidsynth.h"
#include "platform/midi_mapper.h"

namespace sorvanto {

MidiOutSettings ReadMidiOutSettings() {
    IniFile ini(".\\Sorvanto.ini");
    MidiOutSettings s;
    s.kind = ini.GetString("Melody", "MidiOut", SystemMidiOutKind());
    if (s.kind.empty()) s.kind = SystemMidiOutKind();
    s.sound_font = ini.GetString("Melody", "SoundFont");
    return s;
}

std::string FindSoundFont(const std::string& configured) {
    if (!configured.empty()) return configured;
    std::error_code ec;
    for (const char* dir : {"/usr/share/sounds/sf2", "/usr/share/soundfonts"}) {
        std::vector<std::string> fonts;
        for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
            const std::string ext = e.path().extension().string();
            if (ext == ".sf2" || ext == ".SF2") fonts.push_back(e.path().string());
        }
        // Directory order is arbitrary: sort, and prefer a font that calls itself GM.
        std::sort(fonts.begin(), fonts.end());
        std::stable_partition(fonts.begin(), fonts.end(), [](const std::string& f) {
            const std::string leaf = std::filesystem::path(f).filename().string();
            return leaf.find("GM") != std::string::npos;
        });
        if (!fonts.empty()) return fonts.front();
    }
    return {};
}

std::unique_ptr<MidiOut> OpenMidiOut(const MidiOutSettings& settings, std::string* error) {
    std::string local;
    std::string& err = error ? *error : local;
    if (settings.kind == "none") {
        err = "MIDI 出力がオフになっています (MidiOut=none)";
        return nullptr;
    }
    if (settings.kind == "mapper") return OpenMidiMapper(&err);
    if (settings.kind.rfind("alsa:", 0) == 0) return AlsaMidiOut::Open(settings.kind.substr(5), &err);
    if (settings.kind != "fluidsynth") {
        err = "MIDI 出力 '" + settings.kind + "' は使えません";
        return nullptr;
    }
    const std::string font = FindSoundFont(settings.sound_font);
    if (font.empty()) {
        err = "サウンドフォントが見つかりません (Melody セクションの SoundFont で指定できます)";
        return nullptr;
    }
    return FluidSynthMidiOut::Open(font, FluidSynthMidiOut::Mode::kAudio, &err);
}

unsigned ShortMessage(const MidiMessage& m) {
    const unsigned status = (m.status & 0xF0u) | (m.channel & 0x0Fu);
    const bool two_data = (m.status & 0xF0u) != 0xC0 && (m.status & 0xF0u) != 0xD0;
    return status | (static_cast<unsigned>(m.data1 & 0x7F) << 8) | (two_data ? static_cast<unsigned>(m.data2 & 0x7F) << 16 : 0u);
}

}  // namespace sorvanto
