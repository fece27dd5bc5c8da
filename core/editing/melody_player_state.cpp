#include "editing/melody_player_state.h"

#include <algorithm>

#include "common/sjis.h"
#include "platform/ini_file.h"

namespace sorvanto {

namespace {
constexpr const char* kSection = "MelodyPrev";
constexpr const char* kVolumeKey = "Volum";
}  // namespace

MelodyPlayerState::MelodyPlayerState(std::string index_path, MldPlayer::Options options)
    : player_(std::make_unique<MldPlayer>(std::move(options))), index_path_(std::move(index_path)) {
    if (index_path_.empty()) return;
    const IniFile ini(index_path_);
    // A hand-edited value outside the player's range would be sent as it is otherwise.
    volume_ = std::clamp(ini.GetInt(kSection, kVolumeKey, kMaxVolume), 0, kMaxVolume);
    player_->SetMasterVolume(volume_);
}

MelodyPlayerState::~MelodyPlayerState() {
    player_->Stop();
    player_.reset();
    if (index_path_.empty()) return;
    // Read anew so that the melody store's items, written since the window opened, stay.
    IniFile ini(index_path_);
    ini.SetInt(kSection, kVolumeKey, volume_);
    ini.Save();
}

bool MelodyPlayerState::TakeMelody(std::string_view payload) {
    if (payload.empty()) return false;
    melody_path_ = std::string(payload.substr(0, std::min(payload.find('\0'), payload.size())));
    return true;
}

bool MelodyPlayerState::Play() {
    if (melody_path_.empty()) return false;
    // A running melody is stopped first: the player would otherwise go on with the old one
    // and never start the new.
    player_->Stop();
    player_->Load(melody_path_);
    play_error_ = player_->Play() != 0 ? std::string() : player_->LastError();
    play_enabled_ = false;
    title_ = sjis::CutBytes(player_->Melody().ChunkText(MldChunkId::kTitle), kTitleBytes);
    return true;
}

void MelodyPlayerState::Stop() {
    player_->Stop();
    play_enabled_ = true;
}

bool MelodyPlayerState::CheckFinished() {
    if (!player_->Finished()) return false;
    Stop();
    return true;
}

bool MelodyPlayerState::VolumeUp() {
    if (volume_ >= kMaxVolume) return false;
    player_->SetMasterVolume(++volume_);
    return true;
}

bool MelodyPlayerState::VolumeDown() {
    if (volume_ <= 0) return false;
    // The player keeps its last volume for 0, which it cannot send.
    player_->SetMasterVolume(--volume_);
    return true;
}

std::string MelodyPlayerState::PlayErrorLogLine() const {
    if (play_error_.empty()) return {};
    // The output layer gives its reasons as UTF-8 (the system's own words among them), the log
    // takes Shift_JIS.
    const auto reason = sjis::FromUtf8(play_error_);
    return sjis::Lit("着メロを再生できませんでした(") + (reason ? *reason : sjis::Lit("理由は表示できません")) + ")";
}

}  // namespace sorvanto
