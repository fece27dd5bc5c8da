#!/usr/bin/env python3
"""Writes the MLD test melodies of this folder. Run it from anywhere; it writes beside itself."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def chunk16(tag, body):
    return tag + struct.pack(">H", len(body)) + body


def track(events):
    return b"trac" + struct.pack(">I", len(events)) + events


def melody(chunks, tracks, track_count=None, major=1, minor=0, data_length=None):
    body = b"".join(chunks) + b"".join(tracks)
    header_rest = bytes([major, minor, len(tracks) if track_count is None else track_count])
    header_len = 3 + sum(len(c) for c in chunks)
    payload = struct.pack(">H", header_len) + header_rest + body
    length = len(payload) if data_length is None else data_length
    return b"melo" + struct.pack(">I", length) + payload


def note(delta, part, number, gate):
    return bytes([delta, (part << 6) | number, gate])


def ext(delta, kind, value):
    return bytes([delta, 0xFF, kind, value])


def tempo(delta, timebase_code, value):
    return ext(delta, 0xC0 | timebase_code, value)


def program(delta, part, prog):
    return ext(delta, 0xE0, (part << 6) | (prog & 0x3F)) + ext(0, 0xE1, (part << 6) | (prog >> 6))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


TITLE = "テスト曲".encode("cp932")
HEADER = [
    chunk16(b"titl", TITLE),
    chunk16(b"sorc", b"\x01"),
    chunk16(b"vers", b"0200"),
    chunk16(b"date", b"20030415"),
    chunk16(b"copy", b"Quillrock"),
    chunk16(b"prot", b"none"),
    chunk16(b"note", b"\x00\x00"),
    chunk16(b"exst", b"\x00\x02"),
]

# Two tracks, about 2.2 seconds at timebase 48 x tempo 125 (one tick = 10 ms): a melody on
# part 0 with a piano, a chord accompaniment on track 1 with strings.
scale = [0x0F, 0x11, 0x13, 0x14, 0x16, 0x18, 0x1A, 0x1B]  # C D E F G A B C around middle C
lead = tempo(0, 3, 125) + program(0, 0, 0)
for i, n in enumerate(scale):
    lead += note(0 if i == 0 else 24, 0, n, 20)
lead += note(24, 0, 0x1B, 24)
accomp = program(0, 1, 48) + ext(0, 0xE2, (1 << 6) | 0x30)
for i in range(4):
    d = 0 if i == 0 else 48
    accomp += note(d, 1, 0x0F, 44) + note(0, 1, 0x13, 44) + note(0, 1, 0x16, 44)
write("sample.mld", melody(HEADER, [track(lead), track(accomp)]))

# 4-byte note events, one track, sorc 0x05 (external interface, copyright).
long_hdr = [chunk16(b"titl", b"Long"), chunk16(b"sorc", b"\x05"), chunk16(b"note", b"\x00\x01")]
ev = tempo(0, 4, 100) + bytes([0, 0x10, 10, 0x7F]) + bytes([20, 0x12, 10, 0x00]) + bytes([20, 0x14, 10, 0x00])
write("long_notes.mld", melody(long_hdr, [track(ev)]))

# Several tempi and timebases in a row, with a data block and an 8-byte event in between.
ev = tempo(0, 3, 120) + note(0, 0, 0x10, 6) + note(12, 0, 0x11, 6)
ev += tempo(12, 5, 90) + note(0, 0, 0x12, 30) + note(40, 0, 0x13, 30)
ev += bytes([0, 0xFF, 0xF0, 0x00, 0x03, 1, 2, 3]) + bytes([0, 0xFF, 0xF1, 0, 0, 0, 0, 0])
ev += tempo(7, 10, 200) + note(0, 0, 0x14, 60) + note(100, 0, 0x15, 60)
ev += tempo(0, 8, 33) + note(5, 0, 0x16, 3) + note(9, 0, 0x17, 3)
second = tempo(0, 13, 64) + note(3, 2, 0x20, 100) + note(200, 2, 0x21, 100)
write("tempos.mld", melody([chunk16(b"titl", b"Tempi"), chunk16(b"sorc", b"\x02")], [track(ev), track(second)]))

# Damaged melodies.
ok_events = tempo(0, 3, 125) + note(0, 0, 0x10, 10) + note(10, 0, 0x11, 10)
bad = melody([chunk16(b"titl", b"Bad")], [track(ok_events)])
# The track length claims far more bytes than the file holds.
bad = bad[:bad.index(b"trac") + 4] + struct.pack(">I", 0x7FFFFFF0) + bad[bad.index(b"trac") + 8:]
write("bad_track_length.mld", bad)
# A data block whose length runs past the track, twice.
ev = tempo(0, 3, 125) + note(0, 0, 0x10, 10) + bytes([0, 0xFF, 0xF0, 0xFF, 0xFF, 1, 2])
write("endless_block.mld", melody([chunk16(b"titl", b"Block")], [track(ev), track(bytes([0, 0xFF, 0xFF, 0xFF, 0xFF]))]))
# Tempo value 0 between notes.
ev = tempo(0, 3, 125) + note(0, 0, 0x10, 10) + tempo(5, 3, 0) + note(5, 0, 0x11, 10) + note(5, 0, 0x12, 10)
write("zero_tempo.mld", melody([chunk16(b"titl", b"Zero")], [track(ev)]))
# Seventeen tracks, each a note on part 3.
tracks17 = [track(tempo(0, 3, 125) + note(i, 3, 0x10 + i, 10)) for i in range(17)]
write("tracks17.mld", melody([chunk16(b"titl", b"Many")], tracks17))
# An unknown chunk between the header chunks and the tracks.
write("unknown_chunk.mld", melody([chunk16(b"titl", b"Unk"), chunk16(b"xxxx", b"ab")], [track(ok_events)]))
# A file of 13000 bytes: the second track starts beyond the first 12000 bytes.
filler = track(tempo(0, 3, 125) + bytes([0, 0xFF, 0xF0]) + struct.pack(">H", 11950) + bytes(11950))
write("big.mld", melody([chunk16(b"titl", b"Big")], [filler, track(ok_events + bytes(900))]))
# The header says 2 tracks but 3 follow.
write("extra_tracks.mld", melody([chunk16(b"titl", b"Two")], [track(ok_events)] * 3, track_count=2))
# The file carries 10 bytes of garbage after the data length says it ends.
write("trailing.mld", melody(HEADER[:2], [track(ok_events)]) + b"0123456789")
