#!/usr/bin/env python3
"""Writes the sample handset objects of data/samples/<family>/.

Each file is named after the object it stands for; "telecom_" stands for "telecom/". The
objects are written the way each family of handsets sends them: CR LF line ends, Shift_JIS
text, quoted-printable or Base64 bodies. Run it from anywhere: python3 make_samples.py
"""

import base64
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# A 24 x 16 JPEG (JFIF) and a 16 x 16 GIF, small real pictures.
JPEG = base64.b64decode(
    '/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAYEBQYFBAYGBQYHBwYIChAKCgkJChQODwwQFxQYGBcUFhYaHSUfGhsjHBYW'
    'ICwgIyYnKSopGR8tMC0oMCUoKSj/2wBDAQcHBwoIChMKChMoGhYaKCgoKCgoKCgoKCgoKCgoKCgoKCgoKCgoKCgoKCgo'
    'KCgoKCgoKCgoKCgoKCgoKCgoKCj/wAARCAAQABgDASIAAhEBAxEB/8QAFQABAQAAAAAAAAAAAAAAAAAAAAX/xAAWEAEB'
    'AQAAAAAAAAAAAAAAAAAAFGH/xAAVAQEBAAAAAAAAAAAAAAAAAAAABP/EABcRAAMBAAAAAAAAAAAAAAAAAAAWYWL/2gAM'
    'AwEAAhEDEQA/AL1OlOo1OlOrFPJezUs06I1Ogp5DNT//2Q==')
GIF = base64.b64decode(
    'R0lGODlhEAAQAPIAAFonV11fYDs5Pp1KWWqPWkxTpZU2kW6dbiH5BAAAAAAALAAAAAAQABAAAANkWFrXN0aNQcgqtTZG'
    '6LiZZUTTdAXZcxRGqQjKUQUDADymoFuEUAOCgHAA0+16RmMgyWwKgMwlVBcoTKnLpfJp0xFvgUO2IDDYADWqWCZknZNk'
    'GEHMal2LwWph0mVeVi0TTgsrCQA7')


def sj(text):
    return text.encode('cp932')


def crlf(lines):
    """Joins text lines (str or bytes) with CR LF, one after each line."""
    out = b''
    for line in lines:
        out += (sj(line) if isinstance(line, str) else line) + b'\r\n'
    return out


def b64_lines(data, width):
    text = base64.b64encode(data)
    if width == 0:
        return [text]
    return [text[i:i + width] for i in range(0, len(text), width)]


def qp(data, crlf_breaks=True):
    """Quoted-printable as the handsets write it: every byte outside 33..126 and "=" escaped,
    soft line breaks keep each line at most 75 characters."""
    out, line = [], b''
    for b in data:
        unit = bytes([b]) if 33 <= b <= 126 and b != 61 else b'=%02X' % b
        if len(line) + len(unit) > 75:
            out.append(line + b'=')
            line = b''
        line += unit
    out.append(line)
    return (b'\r\n' if crlf_breaks else b'\n').join(out)


def mld(title, notes):
    """A small MLD file: header, title, version and note chunks, one track."""
    t = sj(title)
    chunks = b'titl' + struct.pack('>H', len(t)) + t
    chunks += b'vers' + struct.pack('>H', 4) + b'0300'
    chunks += b'note' + struct.pack('>HH', 2, 0)
    events = bytes([0, 0xFF, 0xC3, 120])          # tempo: timebase 48, tempo 120
    events += bytes([0, 0xFF, 0xE0, 0])           # program 0 (piano), low bits
    events += bytes([0, 0xFF, 0xE1, 0])           # program bit 6
    events += bytes([0, 0xFF, 0xE2, 0x3F])        # full volume
    for i, n in enumerate(notes):
        events += bytes([0 if i == 0 else 24, n & 0x3F, 22])
    events += bytes([24, 0xFF, 0xDF, 0])          # end of track
    track = b'trac' + struct.pack('>I', len(events)) + events
    header_len = 3 + len(chunks)
    body = struct.pack('>H', header_len) + bytes([1, 0, 1]) + chunks + track
    return b'melo' + struct.pack('>I', len(body)) + body


SCALE = [3, 5, 7, 8, 10, 12, 14, 15]


def rgb565_picture(width, height):
    """Pixels top row first, as the handset sends them: a colour gradient."""
    out = bytearray()
    for y in range(height):
        for x in range(width):
            r = x * 31 // max(width - 1, 1)
            g = y * 63 // max(height - 1, 1)
            b = 31 - r
            out += struct.pack('<H', (r << 11) | (g << 5) | b)
    return bytes(out)


# ---- phone book ----

PEOPLE = [
    ('山田 太郎', 'ヤマダ タロウ', [('CELL', '090-1234-5678', '0001'), ('HOME', '03-1234-5678', '0002')],
     [('INTERNET', 'taro@docomo.ne.jp', '01')], '会社の先輩', ('東京都千代田区1-1', '100-0001')),
    ('佐藤 花子', 'サトウ ハナコ', [('CELL', '080-2222-3333', '0000')],
     [('INTERNET', 'hanako@example.jp', '00')], '', ('', '')),
    ('鈴木', 'スズキ', [('WORK', '06-9876-5432', '0003')], [], 'ﾒﾓ', ('大阪府大阪市北区2-2', '530-0001')),
]


def vcard_icons(person):
    """Family 0 and 1: pictograph icon lines after each number and address."""
    name, kana, tels, mails, note, _ = person
    lines = ['BEGIN:VCARD', 'VERSION:2.1', 'N;CHARSET=SHIFT_JIS:%s;;;;' % name,
             'SOUND;CHARSET=SHIFT_JIS;X-IRMC-N:%s;;;;' % kana]
    for kind, number, icon in tels:
        lines += ['TEL;%s:%s' % (kind, number), 'X-DIF:%s' % icon]
    for kind, addr, icon in mails:
        lines += ['EMAIL;%s:%s' % (kind, addr), 'X-MIF:%s' % icon]
    if note:
        lines.append('X-NOTE;CHARSET=SHIFT_JIS:%s' % note)
    lines += ['X-CLASS:PUBLIC', 'END:VCARD']
    return crlf(lines)


def vcard_plain(person):
    """NEC family and family 4: plain TEL/EMAIL lines, an address, a NOTE."""
    name, kana, tels, mails, note, (adr, adr_no) = person
    lines = ['BEGIN:VCARD', 'VERSION:2.1', 'N;CHARSET=SHIFT_JIS:%s;;;;' % name,
             'SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:%s;;;;' % kana]
    for i, (kind, number, _) in enumerate(tels):
        # The handsets send their first number without type parameters.
        lines.append('TEL:%s' % number if i == 0 else 'TEL;%s:%s' % (kind, number))
    for kind, addr, _ in mails:
        lines.append('EMAIL:%s' % addr)
    if adr or adr_no:
        lines.append('ADR;CHARSET=SHIFT_JIS;HOME:;;%s;;;%s;' % (adr, adr_no))
    if note:
        lines.append('NOTE;CHARSET=SHIFT_JIS:%s' % note)
    lines += ['X-CLASS:PUBLIC', 'END:VCARD']
    return crlf(lines)


# ---- bookmarks ----

MARKS = [('ドコモ', 'http://www.nttdocomo.co.jp/'), ('天気予報', 'http://weather.example.jp/i/')]


def vbookmark(title, url):
    return crlf(['BEGIN:VBKM', 'VERSION:1.0', 'URL:%s' % url, 'TITLE;CHARSET=SHIFT_JIS:%s' % title, 'END:VBKM'])


def vnote_bookmark(title, url):
    return crlf(['BEGIN:VNOTE', 'VERSION:1.1', 'X-SUMMARY;CHARSET=SHIFT_JIS:%s' % title, 'X-BODY:%s' % url,
                 'X-JUMPINFO:', 'END:VNOTE'])


# ---- mail ----

MAILS = {
    'inbox': ('friend@docomo.ne.jp', 'me@docomo.ne.jp', '今夜の予定', '7時に駅前で。\n遅れたら連絡します。'),
    'inbox2': ('shop@example.jp', 'me@docomo.ne.jp', 'ご案内', '新商品のお知らせです。\n100%満足！'),
    'sent': ('me@docomo.ne.jp', 'friend@docomo.ne.jp', 'Re:今夜の予定', '了解です。'),
    'outbox': ('me@docomo.ne.jp', 'mother@docomo.ne.jp', '着メロ', 'この曲どう？'),
}

MAIL_DATE_B = 'Fri, 02 Jan 2004 09:05:07 +0900'
MAIL_DATE_A = '02 Jan 2004 09:05:07 +0900'
ORIGINATOR = ['BEGIN:VCARD', 'VERSION:2.1', 'N:', 'TEL:', 'END:VCARD']


def with_melody(body_crlf):
    """The mail composer's attachment: the body, the "B:M" boundary, the melody in Base64."""
    return body_crlf + b'\r\n--B:M\r\n' + base64.b64encode(mld('この曲', SCALE))


def vmessage_qp(box, mail, attach=False):
    frm, to, subject, body = mail
    body_bytes = sj(body).replace(b'\n', b'\r\n')
    if attach:
        body_bytes = with_melody(body_bytes)
    head = ['BEGIN:VMSG', 'VERSION:1.1', 'X-IRMC-BOX:%s' % box, 'X-IRMC-TYPE:INET', 'X-EID:']
    head += ORIGINATOR + ['BEGIN:VENV'] + ORIGINATOR + ['BEGIN:VENV', 'BEGIN:VBODY', 'CHARSET=SHIFT_JIS',
                                                      'From:%s' % frm, 'To:%s' % to]
    head.append(b'Subject:=?shift-jis?B?' + base64.b64encode(sj(subject)) + b'?=')
    head += ['Date:%s' % MAIL_DATE_B, 'MIME-Version:1.0', 'Content-Type:text/plain;charset=shift-jis',
             'Content-Transfer-Encoding:quoted-printable', '']
    return crlf(head) + qp(body_bytes, crlf_breaks=True) + crlf(['', 'END:VBODY', 'END:VENV', 'END:VENV',
                                                                'END:VMSG'])


def vmessage_8bit(box, mail, attach=False, extra_to=None):
    frm, to, subject, body = mail
    body_bytes = sj(body).replace(b'\n', b'\r\n')
    if attach:
        body_bytes = with_melody(body_bytes)
    head = ['BEGIN:VMSG', 'VERSION:1.1', 'X-IRMC-STATUS:READ', 'X-IRMC-BOX:%s' % box, 'X-IRMC-TYPE:INET']
    head += ORIGINATOR + ['BEGIN:VENV'] + ORIGINATOR + ['BEGIN:VENV', 'BEGIN:VBODY']
    head += ['From: %s' % frm, 'To: %s' % to]
    if extra_to:
        head.append('To: %s' % extra_to)
    head.append(b'Subject: =?Shift_JIS?B?' + base64.b64encode(sj(subject)) + b'?=')
    head += ['Date: %s' % MAIL_DATE_A, 'MIME-Version:1.0', 'Content-Type:text/plain;charset=Shift-JIS',
             'Content-Transfer-Encoding: 8bit', '']
    return crlf(head) + body_bytes + crlf(['', 'END:VBODY', 'END:VENV', 'END:VENV', 'END:VMSG'])


# ---- melodies and pictures ----

def melody_qp(title):
    return (crlf(['BEGIN:VNOTE', 'VERSION:1.1', 'X-FORMAT:1']) + b'X-BODY;ENCODING=QUOTED-PRINTABLE:' +
            qp(mld(title, SCALE)) + crlf(['', 'END:VNOTE']))


def melody_base64(title):
    lines = ['BEGIN:VNOTE', 'VERSION:1.1', 'X-FORMAT:1']
    text = b64_lines(mld(title, SCALE), 74)
    lines.append(b'X-BODY;ENCODING=BASE64:' + text[0])
    return crlf(lines + text[1:] + ['', 'END:VNOTE'])


def melody_nec(title):
    return crlf(['BEGIN:VNOTE', 'VERSION:1.1', 'SUMMARY;CHARSET=SHIFT_JIS:%s' % title,
                 b'BODY;ENCODING=BASE64:' + base64.b64encode(mld(title, SCALE[::-1])),
                 'X-NEC-COPYRIGHT:0', 'X-NEC-ORG:1', 'X-NEC-MODIFY:0', 'END:VNOTE'])


def standby_bitmap(width, height):
    text = b64_lines(rgb565_picture(width, height), 72)
    return crlf(['BEGIN:VNOTE', 'VERSION:1.1', 'X-BMPTYPE:04', 'X-HPICLR:0', 'X-WIDTH:%d' % width,
                 'X-HEIGHT:%d' % height, b'X-BODY;ENCODING=BASE64:' + text[0]] + text[1:] +
                ['', 'X-COPYRIGHT:0', 'END:VNOTE'])


def standby_nec(title, picture, kind):
    return crlf(['BEGIN:VNOTE', 'VERSION:1.1', 'SUMMARY;CHARSET=SHIFT_JIS:%s' % title,
                 b'BODY;ENCODING=BASE64:' + base64.b64encode(picture), 'X-NEC-POSITION:CENTER',
                 'X-NEC-TYPE:%s' % kind, 'END:VNOTE'])


def camera_picture(title, file_name, picture):
    lines = ['BEGIN:VNOTE', 'VERSION:1.1', 'X-DOCOMO-TYPE:JPEG', 'X-DOCOMO-FILENAME:%s' % file_name]
    if title:
        lines.append('SUMMARY;CHARSET=SHIFT_JIS:%s' % title)
    lines += ['X-DOCOMO-SIZE:%d' % len(picture), 'X-DOCOMO-BODY;ENCODING=BASE64:']
    return crlf(lines + b64_lines(picture, 72) + ['', 'END:VNOTE'])


def family_files(family):
    icons = family in ('family0', 'family1')
    vcard = vcard_icons if icons else vcard_plain
    p = 'nec_' if family == 'nec' else ''
    files = {}
    files[p + 'pb.vcf'] = vcard(PEOPLE[0])
    files['telecom_pb.vcf'] = b''.join(vcard(x) for x in PEOPLE)
    if family == 'family0':
        files['bmk.vnt'] = vnote_bookmark(*MARKS[0])
        files['bm.url'] = vbookmark(*MARKS[1])
        files['mld.vnt'] = melody_qp('きらきら星')
    else:
        files[p + 'bm.url'] = vbookmark(*MARKS[0])
        files[p + 'mld.vnt'] = melody_nec('きらきら星') if family == 'nec' else melody_base64('きらきら星')
    files['telecom_bm.url'] = b''.join(vbookmark(*m) for m in MARKS)
    if icons:
        msg = vmessage_qp
        files['inmsg.vmg'] = msg('INBOX', MAILS['inbox'])
        files['sentmsg.vmg'] = msg('SENTBOX', MAILS['sent'])
        files['outmsg.vmg'] = msg('OUTBOX', MAILS['outbox'], attach=True)
    else:
        msg = vmessage_8bit
        names = ('nec_imsg.vmg', 'nec_smsg.vmg', 'nec_omsg.vmg') if family == 'nec' else \
            ('inmsg.vmg', 'sentmsg.vmg', 'outmsg.vmg')
        files[names[0]] = msg('INBOX', MAILS['inbox'])
        files[names[1]] = msg('SENTBOX', MAILS['sent'], extra_to='father@docomo.ne.jp')
        files[names[2]] = msg('OUTBOX', MAILS['outbox'], attach=True)
    files['telecom_inmsg.vmg'] = msg('INBOX', MAILS['inbox']) + msg('INBOX', MAILS['inbox2'])
    files['telecom_sentmsg.vmg'] = msg('SENTBOX', MAILS['sent'])
    files['telecom_outmsg.vmg'] = msg('OUTBOX', MAILS['outbox'], attach=True)
    if family == 'family1':
        files['scln.vnt'] = standby_bitmap(132, 144)
        files['pic.vnt'] = camera_picture('桜', 'P1000001.jpg', JPEG)
        files['mypic.vnt'] = camera_picture('', 'P1000002.jpg', JPEG)
    elif family == 'nec':
        files['nec_img.vnt'] = standby_nec('待ち受け', GIF, 'GIF')
        files['mypic.vnt'] = camera_picture('花火', 'N1000001.jpg', JPEG)
    elif family == 'family4':
        files['img.vnt'] = camera_picture('海', 'F1000001.jpg', JPEG)
        files['pic.vnt'] = camera_picture('山', 'F1000002.jpg', JPEG)
        files['mypic.vnt'] = camera_picture('', 'F1000003.jpg', JPEG)
    return files


def main():
    for family in ('family0', 'family1', 'nec', 'family4'):
        folder = os.path.join(HERE, family)
        os.makedirs(folder, exist_ok=True)
        for name, data in family_files(family).items():
            with open(os.path.join(folder, name), 'wb') as f:
                f.write(data)


if __name__ == '__main__':
    main()
