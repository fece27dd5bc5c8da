#include "melody/mld_player.h"

#include <algorithm>

namespace sorvanto {

namespace {

constexpr std::uint32_t kScale = 12000;  // milliseconds per minute / timer period
constexpr std::uint32_t kStartTempo = 6000;
constexpr std::uint16_t kTimebase[16] = {6, 12, 24, 48, 96, 192, 384, 1, 15, 30, 60, 120, 240, 480, 960, 1};

std::atomic<int> next_timer_id{1};

int NewTimerId() {
    int id = next_timer_id.fetch_add(1);
    if (id <= 0) {  // wrapped after two billion plays
        next_timer_id = 2;
        id = 1;
    }
    return id;
}

std::shared_ptr<MidiOut> OpenConfigured(std::string* error) {
    return std::shared_ptr<MidiOut>(OpenMidiOut(ReadMidiOutSettings(), error));
}

}  // namespace

MldPlayer::MldPlayer() : MldPlayer(Options{}) {}

MldPlayer::MldPlayer(Options options) : options_(std::move(options)) {
    if (!options_.open_output) options_.open_output = OpenConfigured;
    play_image_.reserve(MldData::kMaxImage);
}

MldPlayer::~MldPlayer() { Stop(); }

void MldPlayer::SetMasterVolume(int volume) {
    if (volume >= 1 && volume <= 127) master_volume_ = volume;
}

int MldPlayer::Play() {
    if (melody_.TrackCount() == 0) {
        last_error_ = "着メロが読み込まれていません";
        return 0;
    }
    if (const int id = timer_id_.load()) return id;
    last_error_.clear();
    output_ = options_.open_output(&last_error_);
    if (!output_) {
        if (last_error_.empty()) last_error_ = "使える MIDI 出力がありません";
        return 0;
    }

    slots_ = {};
    play_image_ = melody_.Image();
    track_count_ = std::min<int>(melody_.TrackCount(), MldData::kMaxTracks);
    for (int i = 0; i < track_count_; ++i) {
        const MldTrack& t = melody_.Track(i);
        tracks_[static_cast<std::size_t>(i)] = TrackState{t.events_offset, t.length, 0, 0};
    }
    tempo_product_ = kStartTempo;
    // Slots follow the header's count, cut to the 16 tracks the table holds, and never fewer
    // than the tracks actually found (a header count of 0 still plays its track).
    const int header_tracks = std::min<int>(melody_.HeaderTrackCount(), MldData::kMaxTracks);
    slot_count_ = std::max(header_tracks, track_count_) * 4;
    slot_volume_.fill(127);
    const auto note = melody_.ChunkValue16(MldChunkId::kNote);
    long_notes_ = note && *note == 1;
    periods_ = 0;
    all_done_ = false;
    sounding_ = false;

    const int id = NewTimerId();
    timer_id_ = id;
    if (options_.use_timer &&
        !timer_.Start(std::chrono::milliseconds(kPeriodMs), [this] { Tick(); })) {
        timer_id_ = 0;
        output_.reset();
        last_error_ = "cannot start the 5 ms timer";
        return 0;
    }
    return id;
}

int MldPlayer::Stop() {
    if (timer_id_.load() == 0) return 0;
    timer_.Stop();
    timer_id_ = 0;
    // The handset's own notes would end with their gates; a stop before that must not leave
    // them hanging on the output.
    if (output_) output_->Silence();
    output_.reset();
    sounding_ = false;
    return 1;
}

void MldPlayer::Send(std::uint8_t status, int slot, std::uint8_t d1, std::uint8_t d2) {
    output_->Send(MidiMessage{status, static_cast<std::uint8_t>(slot), d1, d2});
}

void MldPlayer::Tick() {
    if (timer_id_.load(std::memory_order_relaxed) == 0 || !output_) return;
    ++periods_;
    bool sounding = false;
    for (int s = 0; s < slot_count_; ++s) {
        SlotState& slot = slots_[static_cast<std::size_t>(s)];
        if (slot.gate == 0) continue;
        if (--slot.gate == 0) {
            for (int k = 0; k < slot.count; ++k) Send(0x80, s, slot.keys[static_cast<std::size_t>(k)], 0);
            slot.count = 0;
        }
    }
    bool done = true;
    for (int i = 0; i < track_count_; ++i) {
        TrackState& t = tracks_[static_cast<std::size_t>(i)];
        ++t.counter;
        if (t.position < t.length) {
            const std::uint64_t delta = At(t.begin + t.position);
            if (delta * kScale < t.counter * tempo_product_) {
                t.counter = 0;
                PlayRun(i);
            }
        }
        if (t.position < t.length) done = false;
    }
    for (int s = 0; s < slot_count_ && !sounding; ++s) sounding = slots_[static_cast<std::size_t>(s)].gate != 0;
    sounding_.store(sounding, std::memory_order_relaxed);
    all_done_.store(done, std::memory_order_release);
}

// Bytes of the event at the track's position; 0 when the event does not fit in the track.
std::size_t MldPlayer::EventSize(const TrackState& t) const {
    const std::size_t left = t.length - t.position;
    const std::size_t at = t.begin + t.position;
    if (left < 2) return 0;
    std::size_t size = 0;
    if (At(at + 1) != 0xFF) {
        size = long_notes_ ? 4 : 3;
    } else {
        if (left < 3) return 0;
        const std::uint8_t type = At(at + 2);
        if (type == 0xF0 || type == 0xFF) {
            if (left < 5) return 0;
            size = 5 + ((std::size_t{At(at + 3)} << 8) | At(at + 4));
        } else if (type == 0xF1) {
            size = 8;
        } else {
            size = 4;
        }
    }
    return size <= left ? size : 0;
}

void MldPlayer::PlayRun(int track) {
    TrackState& t = tracks_[static_cast<std::size_t>(track)];
    // Program halves pair up only within one run of simultaneous events.
    bool low_seen = false;
    bool high_seen = false;
    int program = 0;
    while (t.position < t.length) {
        const std::size_t size = EventSize(t);
        if (size == 0) {  // a cut-off event ends the track
            t.position = t.length;
            break;
        }
        PlayEvent(track, t.begin + t.position, low_seen, high_seen, program);
        t.position += size;
        if (t.position >= t.length || At(t.begin + t.position) != 0) break;
    }
}

void MldPlayer::PlayEvent(int track, std::size_t at, bool& low_seen, bool& high_seen, int& program) {
    const std::uint8_t delta = At(at);
    const std::uint8_t status = At(at + 1);
    if (status != 0xFF) {
        PlayNote(track * 4 + (status >> 6), delta, static_cast<std::uint8_t>((status & 0x3F) + 45), At(at + 2));
        return;
    }
    const std::uint8_t type = At(at + 2);
    const std::uint8_t value = At(at + 3);
    const int slot = track * 4 + (value >> 6);
    if ((type & 0xF0) == 0xC0) {
        // A tempo of 0 would stop the clock and divide the gates by zero: keep the old one.
        const std::uint32_t product = std::uint32_t{kTimebase[type & 0x0F]} * value;
        if (product != 0) tempo_product_ = product;
    } else if (type == 0xE0 || type == 0xE1) {
        if (type == 0xE0) {
            program = (program & 0x40) | (value & 0x3F);
            low_seen = true;
        } else {
            program = (program & 0x3F) | ((value & 0x01) << 6);
            high_seen = true;
        }
        if (low_seen && high_seen) {
            Send(0xC0, slot, static_cast<std::uint8_t>(program), 0);
            low_seen = high_seen = false;
            program = 0;
        }
    } else if (type == 0xE2) {
        slot_volume_[static_cast<std::size_t>(slot)] = static_cast<std::uint8_t>((value & 0x3F) * 2);
    }
}

void MldPlayer::PlayNote(int s, std::uint8_t delta, std::uint8_t key, std::uint8_t gate) {
    SlotState& slot = slots_[static_cast<std::size_t>(s)];
    const auto velocity = static_cast<std::uint8_t>(slot_volume_[static_cast<std::size_t>(s)] * master_volume_.load(std::memory_order_relaxed) / 127);
    if (delta == 0 && slot.gate != 0) {
        // A sixth chord note would sound with no record to release it: it is not sounded.
        if (slot.count >= kMaxChord) return;
        slot.keys[static_cast<std::size_t>(slot.count++)] = key;
    } else {
        for (int k = 0; k < slot.count && slot.gate != 0; ++k) Send(0x80, s, slot.keys[static_cast<std::size_t>(k)], 0);
        slot.gate = std::max<std::uint32_t>(std::uint32_t{gate} * kScale / tempo_product_, 1);
        slot.count = 1;
        slot.keys[0] = key;
    }
    Send(0x90, s, key, velocity);
}

}  // namespace sorvanto
