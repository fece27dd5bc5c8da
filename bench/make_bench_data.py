#!/usr/bin/env python3
"""Data for bench/run-all: a 1,000-entry phone book as the handset pushes it, and a working
folder holding N items in each of the seven categories, shaped as the program writes them.

  make_bench_data.py phonebook FILE [ENTRIES]
  make_bench_data.py inbox FILE [MAILS]
  make_bench_data.py store DIR [ITEMS]
"""
import os
import struct
import sys

CRLF = b"\r\n"


def phonebook(path, entries=1000):
    with open(path, "wb") as f:
        for i in range(entries):
            name = "山田太郎{:04d}".format(i).encode("cp932")
            kana = "ﾔﾏﾀﾞﾀﾛｳ".encode("cp932")
            f.write(b"BEGIN:VCARD\r\nVERSION:2.1\r\n")
            f.write(b"N;CHARSET=SHIFT_JIS:" + name + b";;;;\r\n")
            f.write(b"SOUND;CHARSET=SHIFT_JIS;X-IRMC-N:" + kana + b";;;;\r\n")
            f.write(b"TEL;CELL:090-%04d-%04d\r\nX-DIF:0001\r\n" % (i // 100, i))
            f.write(b"TEL;HOME:03-1234-%04d\r\nX-DIF:0002\r\n" % i)
            f.write(b"EMAIL;INTERNET:user%d@docomo.ne.jp\r\nX-MIF:01\r\n" % i)
            f.write(b"X-NOTE;CHARSET=SHIFT_JIS:" + "メモ".encode("cp932") + b"\r\n")
            f.write(b"X-CLASS:PUBLIC\r\nEND:VCARD\r\n")


def inbox(path, mails=1000):
    # A whole received-mail box of family 0: quoted-printable bodies, encoded-word subjects.
    subject = b"=?shift-jis?B?gqCCooKk?="
    with open(path, "wb") as f:
        for i in range(mails):
            body = "こんにちは {:d}\r\n二行目のテキスト".format(i).encode("cp932")
            qp = "".join(chr(b) if 33 <= b <= 126 and b != 61 else "=%02X" % b for b in body).encode()
            f.write(b"BEGIN:VMSG\r\nVERSION:1.1\r\nX-IRMC-BOX:INBOX\r\nBEGIN:VENV\r\nBEGIN:VENV\r\n")
            f.write(b"BEGIN:VBODY\r\nFrom:friend%d@docomo.ne.jp\r\nTo:me@docomo.ne.jp\r\n" % i)
            f.write(b"Subject:" + subject + b"\r\nDate:Fri, 02 Jan 2004 09:05:07 +0900\r\n")
            f.write(b"Content-Transfer-Encoding:quoted-printable\r\n\r\n" + qp + b"\r\n")
            f.write(b"END:VBODY\r\nEND:VENV\r\nEND:VENV\r\nEND:VMSG\r\n")


def mld(title):
    # "melo", data length, header length, a title chunk and one empty track: what MldData reads.
    titl = b"titl" + struct.pack(">H", len(title)) + title
    header = struct.pack(">H", len(titl) + 3) + b"\x01\x01\x01" + titl
    track = b"trac" + struct.pack(">I", 4) + b"\x00\xff\x2f\x00"
    body = header + track
    return b"melo" + struct.pack(">I", len(body)) + body


def index(path, items):
    with open(path, "wb") as f:
        f.write(b"[System]\r\nCount=%d\r\n" % len(items))
        for n, keys in enumerate(items):
            f.write(b"[Item%d]\r\n" % n)
            for k, v in keys:
                f.write(k + b"=" + v + CRLF)


def store(root, n=10000):
    os.makedirs(root, exist_ok=True)
    folders = ["Melody", "Picture", "Address", "InMail", "OutMail", "MyPic"]
    for d in folders:
        os.makedirs(os.path.join(root, d), exist_ok=True)
    gif = b"GIF89a\x10\x00\x10\x00\x00\x00\x00;"
    mel, pic, bmk, adr, inm, outm, myp = ([] for _ in range(7))
    for i in range(n):
        name = b"%08X%02X" % (0x40000000 + i // 256, i % 256)
        t = b"%d" % (1057000000 + i)
        title = "着メロ{:05d}".format(i).encode("cp932")
        data = mld(title)
        open(os.path.join(root, "Melody", name.decode()), "wb").write(data)
        mel.append([(b"Title", title), (b"Byte", b"%d" % len(data)), (b"Comment", b""), (b"SetTime", b"0"),
                    (b"EntryTime", t), (b"Flag", b"1"), (b"Path", b"Melody\\" + name)])
        for folder, rows in (("Picture", pic), ("MyPic", myp)):
            open(os.path.join(root, folder, name.decode()), "wb").write(gif)
            rows.append([(b"Title", b"pic%d" % i), (b"Byte", b"%d" % len(gif)), (b"SizeX", b"16"), (b"SizeY", b"16"),
                         (b"Type", b"2"), (b"Comment", b""), (b"SetTime", b"0"), (b"EntryTime", t), (b"Flag", b"1"),
                         (b"Path", folder.encode() + b"\\" + name)])
        bmk.append([(b"Title", b"site%d" % i), (b"Address", b"http://example.jp/%d" % i), (b"Comment", b""),
                    (b"SetTime", b"0"), (b"EntryTime", t), (b"Flag", b"1")])
        entry = (b"[System]\r\nName=" + "山田{:05d}".format(i).encode("cp932") + b"\r\nKana=\xd4\xcf\xc0\xde\r\n"
                 b"TelCnt=1\r\nTel0=CELL:090%08d\r\nTelIcon0=0001\r\nMailCnt=1\r\n" % i +
                 b"Mail0=INTERNET:u%d@docomo.ne.jp\r\nMailIcon0=01\r\nNote=\r\n" % i)
        open(os.path.join(root, "Address", name.decode()), "wb").write(entry)
        adr.append([(b"File", b"Address\\" + name), (b"SetTime", b"0"), (b"EntryTime", t), (b"Flag", b"1")])
        for folder, rows, status in (("InMail", inm, b"0"), ("OutMail", outm, b"1")):
            mail = (b"from%d@docomo.ne.jp\nto@docomo.ne.jp\n" % i + "件名{:05d}".format(i).encode("cp932") +
                    b"\n%d\n0\n" % (1057000000 + i) + "本文です。".encode("cp932") * 20)
            open(os.path.join(root, folder, name.decode()), "wb").write(mail)
            rows.append([(b"File", folder.encode() + b"\\" + name), (b"SetTime", b"0"), (b"EntryTime", t),
                         (b"Flag", b"1"), (b"Status", status)])
    for file, rows in (("mldfile.ini", mel), ("picture.ini", pic), ("bookmk.ini", bmk), ("address.ini", adr),
                       ("inmail.ini", inm), ("outmail.ini", outm), ("MyPic.ini", myp)):
        index(os.path.join(root, file), rows)


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "phonebook":
        phonebook(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 1000)
    elif len(sys.argv) >= 3 and sys.argv[1] == "inbox":
        inbox(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 1000)
    elif len(sys.argv) >= 3 and sys.argv[1] == "store":
        store(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 10000)
    else:
        sys.exit(__doc__)
