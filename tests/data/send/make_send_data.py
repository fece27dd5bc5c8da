#!/usr/bin/env python3
"""Writes the inputs and the expected objects of the send-job tests.

The expected objects are composed here line by line from the handset formats, independently of
the C++ builders, so that the tests compare two separate derivations. Run it from this folder:
    python3 make_send_data.py
"""
import base64
import os
import struct

CRLF = b"\r\n"


def sj(text):
    return text.encode("cp932")


def lines(*parts):
    return b"".join(p if isinstance(p, bytes) else sj(p) for p in parts)


def put(name, data):
    os.makedirs(os.path.dirname(name) or ".", exist_ok=True)
    with open(name, "wb") as f:
        f.write(data)


def ini(pairs):
    out = b"[System]\r\n"
    for k, v in pairs:
        out += sj(k) + b"=" + (v if isinstance(v, bytes) else sj(v)) + CRLF
    return out


def wrap(b64, width):
    if width == 0:
        return b64
    return b"".join(b64[i:i + width] + CRLF for i in range(0, len(b64), width))


def qp(data, crlf=True):
    end = b"=\r\n" if crlf else b"=\n"
    out, line = b"", 0
    for byte in data:
        unit = bytes([byte]) if (33 <= byte <= 60 or 62 <= byte <= 126) else b"=%02X" % byte
        if line + len(unit) > 75:
            out += end
            line = 0
        out += unit
        line += len(unit)
    return out


# ---- address book -------------------------------------------------------------------------
full = [("Name", "山田太郎"), ("Kana", "ﾔﾏﾀﾞﾀﾛｳ"), ("TelCnt", "2"),
        ("Tel0", "CELL:09012345678"), ("TelIcon0", "0001"),
        ("Tel1", "HOME;VOICE:0312345678"), ("TelIcon1", ""),
        ("MailCnt", "1"), ("Mail0", "INTERNET:taro@example.jp"), ("MailIcon0", "00"),
        ("AdrNo", "123-4567"), ("Adr", "東京都千代田区1-1"), ("Note", "会社の同僚")]
bare = [("Name", "花子"), ("Kana", "ﾊﾅｺ"), ("TelCnt", "0"), ("MailCnt", "0")]
put("input/full.adr", ini(full))
put("input/bare.adr", ini(bare))


def vcard_icons(name, kana, tels, mails, note):
    out = lines("BEGIN:VCARD\r\n", "VERSION:2.1\r\n",
                "N;CHARSET=SHIFT_JIS:%s;;;;\r\n" % name,
                "SOUND;CHARSET=SHIFT_JIS;X-IRMC-N:%s;;;;\r\n" % kana)
    for tel, icon in tels:
        out += lines("TEL;%s\r\n" % tel) + (lines("X-DIF:%s\r\n" % icon) if icon else b"")
    for mail, icon in mails:
        out += lines("EMAIL;%s\r\n" % mail) + (lines("X-MIF:%s\r\n" % icon) if icon else b"")
    if note:
        out += lines("X-NOTE;CHARSET=SHIFT_JIS:%s\r\n" % note)
    return out + b"X-CLASS:PUBLIC\r\nEND:VCARD\r\n"


def vcard_plain(name, kana, tels, mails, adr, adr_no, note):
    out = lines("BEGIN:VCARD\r\n", "VERSION:2.1\r\n",
                "N;CHARSET=SHIFT_JIS:%s;;;;\r\n" % name,
                "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:%s;;;;\r\n" % kana)
    for tel in tels:
        out += lines("TEL;%s\r\n" % tel)
    for mail in mails:
        out += lines("EMAIL;%s\r\n" % mail)
    if adr or adr_no:
        out += lines("ADR;CHARSET=SHIFT_JIS;HOME:;;%s;;;%s;\r\n" % (adr, adr_no))
    if note:
        out += lines("NOTE;CHARSET=SHIFT_JIS:%s\r\n" % note)
    return out + b"X-CLASS:PUBLIC\r\nEND:VCARD\r\n"


full_v1 = vcard_icons("山田太郎", "ﾔﾏﾀﾞﾀﾛｳ", [("CELL:09012345678", "0001"), ("HOME;VOICE:0312345678", "")],
                      [("INTERNET:taro@example.jp", "00")], "会社の同僚")
full_v0 = vcard_plain("山田太郎", "ﾔﾏﾀﾞﾀﾛｳ", ["CELL:09012345678", "HOME;VOICE:0312345678"],
                      ["INTERNET:taro@example.jp"], "東京都千代田区1-1", "123-4567", "会社の同僚")
bare_v1 = vcard_icons("花子", "ﾊﾅｺ", [], [], "")
bare_v0 = vcard_plain("花子", "ﾊﾅｺ", [], [], "", "", "")
put("expected/address_full_v1.vcf", full_v1)
put("expected/address_full_v0.vcf", full_v0)
put("expected/address_bare_v1.vcf", bare_v1)
put("expected/address_bare_v0.vcf", bare_v0)
dummy = b"BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:dummy;;;;\r\nEND:VCARD\r\n"
put("expected/book_n504.vcf", dummy + full_v0 + bare_v0)

# ---- bookmarks ----------------------------------------------------------------------------
bm_title, bm_url = "天気予報", "http://example.jp/i/weather?a=1&b=2"
put("expected/bookmark_vnote.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n",
                                         "X-SUMMARY;CHARSET=SHIFT_JIS:%s\r\n" % bm_title,
                                         "X-BODY:%s\r\n" % bm_url, "X-JUMPINFO:\r\n", "END:VNOTE\r\n"))
put("expected/bookmark_vbkm.url", lines("BEGIN:VBKM\r\n", "VERSION:1.0\r\n", "URL:%s\r\n" % bm_url,
                                        "TITLE;CHARSET=SHIFT_JIS:%s\r\n" % bm_title, "END:VBKM\r\n"))

# ---- standby pictures ---------------------------------------------------------------------
W, H = 4, 3
rows = [b"".join(bytes((r * 16 + c * 2, 0x80 | r)) for c in range(W)) for r in range(H)]  # handset order
header = (b"BM" + struct.pack("<IIII", 66 + 2 * W * H, 0, 66, 40) + struct.pack("<iiHHI", W, H, 1, 16, 3)
          + bytes(20) + struct.pack("<III", 0xF800, 0x07E0, 0x001F))
assert len(header) == 66
bmp16 = header + b"".join(reversed(rows))  # bottom row first, as a bitmap stores it
put("input/standby16.bmp", bmp16)
bmp24 = bytearray(bmp16)
bmp24[28] = 24
put("input/standby24.bmp", bytes(bmp24))
jpeg = bytes.fromhex("FFD8FFE000104A46494600010100000100010000") + bytes(range(256)) + bytes.fromhex("FFD9")
put("input/picture.jpg", jpeg)

pixels = b"".join(rows)
put("expected/standby_p504.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n", "X-BMPTYPE:04\r\n", "X-HPICLR:0\r\n",
                                       "X-WIDTH:%d\r\n" % W, "X-HEIGHT:%d\r\n" % H, "X-BODY;ENCODING=BASE64:",
                                       wrap(base64.b64encode(pixels), 72), CRLF,
                                       "X-COPYRIGHT:0\r\n", "END:VNOTE\r\n"))
# A picture wider than one Base64 line, to see the 72-character lines.
W2, H2 = 40, 2
rows2 = [bytes((r * 40 + c) & 0xFF for c in range(W2 * 2)) for r in range(H2)]
header2 = (b"BM" + struct.pack("<IIII", 66 + 2 * W2 * H2, 0, 66, 40) + struct.pack("<iiHHI", W2, H2, 1, 16, 3)
           + bytes(20) + struct.pack("<III", 0xF800, 0x07E0, 0x001F))
put("input/standby_wide.bmp", header2 + b"".join(reversed(rows2)))
put("expected/standby_wide_p504.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n", "X-BMPTYPE:04\r\n",
                                            "X-HPICLR:0\r\n", "X-WIDTH:%d\r\n" % W2, "X-HEIGHT:%d\r\n" % H2,
                                            "X-BODY;ENCODING=BASE64:", wrap(base64.b64encode(b"".join(rows2)), 72),
                                            CRLF, "X-COPYRIGHT:0\r\n", "END:VNOTE\r\n"))
pic_title = "夕焼け"
put("expected/standby_nec_jpeg.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n",
                                           "SUMMARY;CHARSET=SHIFT_JIS:%s\r\n" % pic_title,
                                           "BODY;ENCODING=BASE64:", base64.b64encode(jpeg), CRLF,
                                           "X-NEC-POSITION:CENTER\r\n", "X-NEC-TYPE:JPEG\r\n", "END:VNOTE\r\n"))
put("expected/standby_nec_bmp.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n",
                                          "SUMMARY;CHARSET=SHIFT_JIS:%s\r\n" % pic_title,
                                          "BODY;ENCODING=BASE64:", base64.b64encode(bmp16), CRLF,
                                          "X-NEC-POSITION:CENTER\r\n", "END:VNOTE\r\n"))

# ---- camera pictures ----------------------------------------------------------------------
put("expected/camera_docomo.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n", "X-DOCOMO-TYPE:JPEG\r\n",
                                        "X-DOCOMO-SIZE:120X160\r\n", "X-DOCOMO-FILESIZE:%dbyte\r\n" % len(jpeg),
                                        "SUMMARY;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:%s\r\n" % pic_title,
                                        "X-DOCOMO-BODY;ENCODING=BASE64:", wrap(base64.b64encode(jpeg), 74), CRLF,
                                        "END:VNOTE\r\n"))
put("expected/camera_p504.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n", "X-BMPTYPE:04\r\n", "X-HPICLR:0\r\n",
                                      "X-WIDTH:120\r\n", "X-HEIGHT:160\r\n", "X-BODY;ENCODING=BASE64:",
                                      wrap(base64.b64encode(jpeg), 74), CRLF, "X-COPYRIGHT:0\r\n", "END:VNOTE\r\n"))

# ---- melodies -----------------------------------------------------------------------------
body = b"".join(bytes(((i * 7) & 0xFF,)) for i in range(10240 - 8 - 14))
mld = b"melo" + struct.pack(">I", 10240 - 8) + b"titl" + struct.pack(">H", 8) + sj("春の歌") + b"\x00\x00" + body
mld = mld[:10240]
assert len(mld) == 10240
put("input/melody10k.mld", mld)
mld_title = "春の歌"
b64 = base64.b64encode(mld)
assert len(b64) == 13656
put("expected/melody_p504.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n", "X-FORMAT:1\r\n",
                                      "X-BODY;ENCODING=BASE64:", wrap(b64, 74), CRLF, "END:VNOTE\r\n"))
put("expected/melody_nec.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n",
                                     "SUMMARY;CHARSET=SHIFT_JIS:%s\r\n" % mld_title, "BODY;ENCODING=BASE64:", b64,
                                     CRLF, "X-NEC-COPYRIGHT:0\r\n", "X-NEC-ORG:1\r\n", "X-NEC-MODIFY:0\r\n",
                                     "END:VNOTE\r\n"))
put("expected/melody_p503.vnt", lines("BEGIN:VNOTE\r\n", "VERSION:1.1\r\n", "X-FORMAT:1\r\n",
                                      "X-BODY;ENCODING=QUOTED-PRINTABLE:", qp(mld), CRLF, "END:VNOTE\r\n"))

# ---- mail ---------------------------------------------------------------------------------
# Sent at 2004-01-02 09:05:07 Japan time.
card = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:\r\nTEL:\r\nEND:VCARD\r\n"
envelope = card + "BEGIN:VENV\r\n" + card + "BEGIN:VENV\r\nBEGIN:VBODY\r\n"
tail = "\r\nEND:VBODY\r\nEND:VENV\r\nEND:VENV\r\nEND:VMSG\r\n"
mail_to, mail_subject = "hanako@example.jp", "件名"
mail_body = sj("こんにちは。\r\n二行目です")
subject_line = b"Subject:=?shift-jis?B?" + base64.b64encode(sj(mail_subject)) + b"?=\r\n"


def form_a(box, sender, recipient, subject_line, body):
    return lines("BEGIN:VMSG\r\n", "VERSION:1.1\r\n", "X-IRMC-STATUS:\r\n", box, "X-IRMC-TYPE:INET\r\n", envelope,
                 "To:%s\r\n" % recipient, "From:%s\r\n" % sender, subject_line,
                 "Date: 02 Jan 2004 09:05:07 +0900\r\n", "MIME-Version:1.0\r\n",
                 "Content-Type:text/plain;charset=Shift-JIS\r\n", "Content-Transfer-Encoding: 8bit\r\n\r\n",
                 body, tail)


def form_b(box, sender, recipient, subject_line, body):
    return lines("BEGIN:VMSG\r\n", "VERSION:1.1\r\n", box, "X-IRMC-TYPE:INET\r\n", "X-EID:\r\n", envelope,
                 "CHARSET=SHIFT_JIS\r\n", "From:%s\r\n" % sender, "To:%s\r\n" % recipient, subject_line,
                 "Date:Fri, 02 Jan 2004 09:05:07 +0900\r\n", "MIME-Version:1.0\r\n",
                 "Content-Type:text/plain;charset=shift-jis\r\n",
                 "Content-Transfer-Encoding:quoted-printable\r\n\r\n",
                 qp(body, crlf=False).replace(b"\n", b"\r\n"), tail)


put("expected/mail_sent_p504.vmg", form_b("X-IRMC-BOX:SENTBOX\r\n", "", mail_to, subject_line, mail_body))
put("expected/mail_sent_f504.vmg", form_a("X-IRMC-BOX:OUTBOX\r\n", "", mail_to, subject_line, mail_body))
put("expected/mail_unread_n504_nosubject.vmg",
    form_a("X-IRMC-BOX:UNREAD\r\n", "taro@example.jp", "", b"Subject:\r\n", b"one\r\ntwo\r\nthree"))
