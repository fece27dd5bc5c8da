#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "melody/mld_player.h"

namespace sorvanto {

// The melody player window apart from its widgets: the volume with its steps and its place in
// the melody index file ("Volum" of section "MelodyPrev"), the melody that plays with its
// title, which of 再生 and 停止 can be pressed, and the end test of the window's timer. The
// window shows what this says and hands it its buttons and requests.
class MelodyPlayerState {
public:
    static constexpr int kMaxVolume = 127;
    static constexpr int kEndTestMs = 1000;
    static constexpr std::size_t kTitleBytes = 259;

    // index_path: the melody index that keeps the volume (none when empty). options: the
    // player's output (tests give a recorder).
    explicit MelodyPlayerState(std::string index_path, MldPlayer::Options options = {});
    // Stops the player and writes the volume back into the index.
    ~MelodyPlayerState();
    MelodyPlayerState(const MelodyPlayerState&) = delete;
    MelodyPlayerState& operator=(const MelodyPlayerState&) = delete;

    // A play request's payload: the melody path up to its terminator. An empty payload is
    // refused (false) and changes nothing.
    bool TakeMelody(std::string_view payload);
    // Starts the melody last taken, from its beginning; false when none was taken. The
    // buttons switch even when nothing can sound (PlayError says why).
    bool Play();
    void Stop();
    // The timer's test: stops once the melody has played to its end; true when it did.
    bool CheckFinished();
    // One step; false at the end of the range (nothing changes then).
    bool VolumeUp();
    bool VolumeDown();

    int Volume() const { return volume_; }
    bool PlayEnabled() const { return play_enabled_; }
    bool StopEnabled() const { return !play_enabled_; }
    // The melody's title chunk, Shift_JIS, at most kTitleBytes.
    const std::string& Title() const { return title_; }
    const std::string& MelodyPath() const { return melody_path_; }
    // Why the last Play made no sound (UTF-8); empty when it did.
    const std::string& PlayError() const { return play_error_; }
    // The log line that tells the person so; empty when the last Play sounded.
    std::string PlayErrorLogLine() const;

    MldPlayer& Player() { return *player_; }

private:
    std::unique_ptr<MldPlayer> player_;
    std::string index_path_;
    std::string melody_path_;
    std::string title_;
    std::string play_error_;
    int volume_ = kMaxVolume;
    bool play_enabled_ = true;
};

}  // namespace sorvanto
