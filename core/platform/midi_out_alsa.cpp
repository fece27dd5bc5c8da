#include "platform/midi_out_alsa.h"

#ifdef SORVANTO_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace sorvanto {

#ifdef SORVANTO_HAVE_ALSA

namespace {
// libasound prints its own errors to the terminal; the caller reports the failure instead.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

struct AlsaMidiOut::Impl {
    snd_seq_t* seq = nullptr;
    int port = -1;
    ~Impl() {
        if (seq) snd_seq_close(seq);
    }
    void Output(snd_seq_event_t& ev) {
        snd_seq_ev_set_source(&ev, port);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        snd_seq_event_output_direct(seq, &ev);
    }
};

std::unique_ptr<AlsaMidiOut> AlsaMidiOut::Open(const std::string& address, std::string* error) {
    auto fail = [&](const std::string& what, int rc) {
        if (error) *error = what + ": " + snd_strerror(rc);
        return nullptr;
    };
    std::unique_ptr<AlsaMidiOut> out(new AlsaMidiOut);
    out->impl_ = std::make_unique<Impl>();
    Impl& d = *out->impl_;
    snd_lib_error_set_handler(QuietAlsa);
    int rc = snd_seq_open(&d.seq, "default", SND_SEQ_OPEN_OUTPUT, 0);
    if (rc < 0) {
        d.seq = nullptr;
        return fail("ALSA シーケンサーを開けません", rc);
    }
    snd_seq_set_client_name(d.seq, "Sorvanto");
    d.port = snd_seq_create_simple_port(d.seq, "Sorvanto melody", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                        SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (d.port < 0) return fail("ALSA シーケンサーのポートを作成できません", d.port);
    snd_seq_addr_t dest{};
    rc = snd_seq_parse_address(d.seq, &dest, address.c_str());
    if (rc < 0) return fail("ALSA のアドレス '" + address + "' が正しくありません", rc);
    rc = snd_seq_connect_to(d.seq, d.port, dest.client, dest.port);
    if (rc < 0) return fail("ALSA のポート " + address + " に接続できません", rc);
    return out;
}

AlsaMidiOut::~AlsaMidiOut() {
    // An external synthesiser keeps sounding after we close: silence it first.
    if (impl_ && impl_->seq) Silence();
}

void AlsaMidiOut::Send(const MidiMessage& m) {
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    const int ch = m.channel & 0x0F;
    switch (m.status & 0xF0) {
        case 0x80: snd_seq_ev_set_noteoff(&ev, ch, m.data1 & 0x7F, 0); break;
        case 0x90: snd_seq_ev_set_noteon(&ev, ch, m.data1 & 0x7F, m.data2 & 0x7F); break;
        case 0xC0: snd_seq_ev_set_pgmchange(&ev, ch, m.data1 & 0x7F); break;
        default: return;
    }
    impl_->Output(ev);
}

void AlsaMidiOut::Silence() {
    for (int ch = 0; ch < 16; ++ch) {
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        snd_seq_ev_set_controller(&ev, ch, 123, 0);  // all notes off
        impl_->Output(ev);
    }
}

#else

struct AlsaMidiOut::Impl {};

std::unique_ptr<AlsaMidiOut> AlsaMidiOut::Open(const std::string&, std::string* error) {
    if (error) *error = "このプログラムは ALSA シーケンサーなしで作られています";
    return nullptr;
}
AlsaMidiOut::~AlsaMidiOut() = default;
void AlsaMidiOut::Send(const MidiMessage&) {}
void AlsaMidiOut::Silence() {}

#endif

}  // namespace sorvanto
