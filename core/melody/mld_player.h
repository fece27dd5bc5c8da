#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "melody/mld_data.h"
#include "platform/midi_out.h"
#include "platform/periodic_timer.h"

namespace sorvanto {

// Plays a loaded MLD melody: decodes the track events itself and sends note on, note off and
// program change to a MidiOut, clocked every 5 ms. Slot s (track x 4 + part) is sent on
// channel s; the output decides how its channels hold 64 slots.
//
// Play, Stop, Finished and SetMasterVolume belong to the owner's thread; Tick runs on the
// timer's thread, or on the caller's when the player was made without a timer (tests and
// offline conversions drive it period by period).
class MldPlayer {
public:
    using OutputFactory = std::function<std::shared_ptr<MidiOut>(std::string* error)>;
    struct Options {
        OutputFactory open_output;  // empty: the output configured in ".\Sorvanto.ini"
        bool use_timer = true;
    };
    static constexpr int kPeriodMs = 5;
    static constexpr int kMaxSlots = 64;
    static constexpr int kMaxChord = 5;

    MldPlayer();
    explicit MldPlayer(Options options);
    ~MldPlayer();
    MldPlayer(const MldPlayer&) = delete;
    MldPlayer& operator=(const MldPlayer&) = delete;

    // Loads the melody for the next Play; a running playback keeps its own copy.
    int Load(std::string_view stored_path) { return melody_.Load(stored_path); }
    MldData& Melody() { return melody_; }
    const MldData& Melody() const { return melody_; }

    // Starts playback; returns the timer id, or 0 when it could not start (no track, no
    // output). While playing, returns the running id and restarts nothing.
    int Play();
    // 1 when it stopped a running player, 0 when none ran. Sounding notes are cut.
    int Stop();
    // True while playing once every track has reached its end.
    bool Finished() const { return timer_id_.load() != 0 && all_done_.load(); }
    bool Playing() const { return timer_id_.load() != 0; }
    // True while some slot still holds a note (the tail after Finished).
    bool Sounding() const { return sounding_.load(); }
    // Accepted only for 1..127.
    void SetMasterVolume(int volume);
    int MasterVolume() const { return master_volume_.load(); }
    // Why the last Play returned 0, in Japanese (UTF-8), as the output gave it.
    const std::string& LastError() const { return last_error_; }

    // One 5 ms period: gate expiry, then each track's due events. No allocation, no I/O.
    void Tick();
    // Periods played since Play.
    std::uint64_t Periods() const { return periods_; }

private:
    struct TrackState {
        std::size_t begin = 0;  // first event byte in the play image
        std::size_t length = 0;
        std::size_t position = 0;
        std::uint64_t counter = 0;
    };
    struct SlotState {
        std::uint32_t gate = 0;  // remaining periods
        int count = 0;
        std::array<std::uint8_t, kMaxChord> keys{};
    };

    void PlayRun(int track);
    std::size_t EventSize(const TrackState& t) const;
    void PlayEvent(int track, std::size_t at, bool& low_seen, bool& high_seen, int& program);
    void PlayNote(int slot, std::uint8_t delta, std::uint8_t key, std::uint8_t gate);
    void Send(std::uint8_t status, int slot, std::uint8_t d1, std::uint8_t d2);
    std::uint8_t At(std::size_t i) const { return static_cast<std::uint8_t>(play_image_[i]); }

    Options options_;
    MldData melody_;
    std::string play_image_;
    std::shared_ptr<MidiOut> output_;
    PeriodicTimer timer_;
    std::string last_error_;

    std::array<TrackState, MldData::kMaxTracks> tracks_{};
    int track_count_ = 0;
    std::uint32_t tempo_product_ = 6000;
    int slot_count_ = 0;
    std::array<std::uint8_t, kMaxSlots> slot_volume_{};
    std::array<SlotState, kMaxSlots> slots_{};
    bool long_notes_ = false;
    std::uint64_t periods_ = 0;

    std::atomic<int> timer_id_{0};
    std::atomic<bool> all_done_{false};
    std::atomic<bool> sounding_{false};
    std::atomic<int> master_volume_{127};
};

}  // namespace sorvanto
