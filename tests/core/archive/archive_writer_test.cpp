// The archive of a store filled from every model family's samples, read back by the standards'
// own readers (python3-vobject, Python's mailbox and email, sha256sum, FluidSynth), and its
// behaviour on bad input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "archive/archive_writer.h"
#include "archive/sha256.h"
#include "formats/base64.h"
#include "formats/importer_for_model.h"
#include "store/store_import_sink.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

constexpr const char* kPython = "/usr/bin/python3";

// Reads the archive in the current folder's "out"; exits non-zero with the first failed check.
constexpr const char* kReader = R"PY(
import email, email.policy, glob, html.parser, mailbox, os, shutil, subprocess, sys, tempfile, vobject

def check(what, ok):
    if not ok:
        sys.exit("failed: " + what)

os.chdir("out")
# Checksums first: every file below is what was written.
r = subprocess.run(["sha256sum", "-c", "--quiet", "SHA256SUMS"], capture_output=True, text=True)
check("sha256sum -c: " + r.stdout + r.stderr, r.returncode == 0)
listed = {line.split("  ", 1)[1] for line in open("SHA256SUMS", encoding="utf-8").read().splitlines()}
on_disk = {os.path.relpath(os.path.join(d, f)) for d, _, fs in os.walk(".") for f in fs} - {"SHA256SUMS"}
check("every file listed: %r" % (on_disk ^ listed), on_disk == listed)

cards = {}
for card in vobject.readComponents(open("contacts.vcf", encoding="utf-8").read()):
    cards.setdefault(card.fn.value, []).append(card)
def types(line):
    return set(t.upper() for t in line.params.get("TYPE", []))
yamada = cards["山田 太郎"]
check("Yamada from every family", len(yamada) >= 8)
for c in yamada:
    check("N", (c.n.value.family, c.n.value.given) == ("山田", "太郎"))
    check("phonetic", (c.x_phonetic_last_name.value, c.x_phonetic_first_name.value) == ("ヤマダ", "タロウ"))
    tels = [(t.value, types(t)) for t in c.contents["tel"]]
    check("tel %r" % tels, tels[0][0] == "090-1234-5678" and tels[1] == ("03-1234-5678", {"HOME"}))
    check("email", c.email.value == "taro@docomo.ne.jp")
    check("note", c.note.value == "会社の先輩")
check("ADR of the families that send one",
      any(c.contents.get("adr") and c.adr.value.street == "東京都千代田区1-1" and c.adr.value.code == "100-0001"
          for c in yamada))
suzuki = cards["鈴木"][0]
check("one-part name", (suzuki.n.value.family, suzuki.n.value.given) == ("鈴木", ""))
check("WORK", types(suzuki.tel) == {"WORK"})
check("Sato", cards["佐藤 花子"][0].x_phonetic_first_name.value == "ハナコ")
sun = cards["晴男☀ 大輔ⓘ"][0]
check("pictograph name", sun.n.value.family == "晴男☀" and sun.n.value.given == "大輔ⓘ")
check("composed reading", (sun.x_phonetic_last_name.value, sun.x_phonetic_first_name.value) == ("ハレオ", "ダイスケ"))
check("fax", types(sun.tel) == {"FAX"})
check("note emoji", sun.note.value == "晴れ☀のち雨☔")

count = 0
for box in ("inbox", "sent", "outbox"):
    msgs = list(mailbox.mbox("mail/%s.mbox" % box, factory=lambda f: email.message_from_binary_file(f, policy=email.policy.default)))
    emls = sorted(glob.glob("mail/%s/*.eml" % box))
    check(box + " counts", len(msgs) == len(emls) and len(msgs) > 0)
    for path, from_mbox in zip(emls, msgs):
        m = email.message_from_binary_file(open(path, "rb"), policy=email.policy.default)
        for part in m.walk():
            check("%s defects %r" % (path, part.defects), not part.defects)
        check(path + " subject", m["subject"] and "=?" not in str(m["subject"]))
        check(path + " mbox same subject", str(from_mbox["subject"]) == str(m["subject"]))
        check(path + " date", m["date"].datetime is not None)
        check(path + " address", (m["from"] if box == "inbox" else m["to"]) is not None)
        body = m.get_body(("plain",))
        check(path + " utf-8", body.get_content_charset() == "utf-8")
        text = body.get_content()
        atts = list(m.iter_attachments())
        if atts:
            check(path + " two attachments", len(atts) == 2)
            check(path + " mld", atts[0].get_filename().endswith(".mld") and atts[0].get_content().startswith(b"melo"))
            check(path + " mid", atts[1].get_content_type() == "audio/midi" and atts[1].get_content().startswith(b"MThd"))
        if str(m["subject"]) == "晴れ☀":
            count += 1
            check("emoji body %r" % text, text == "今日は☀\nFrom the sun\n#⃣と❤")
            check("mboxrd quoting", b"\n>From the sun\n" in open("mail/inbox.mbox", "rb").read())
            check("emoji attachments", len(atts) == 2)
            check("pictograph sender", str(m["from"]) == "sunny@docomo.ne.jp")
check("the pictograph mail", count == 1)

class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.doctype, self.links, self.sources, self.scripts = None, [], [], 0
    def handle_decl(self, decl):
        self.doctype = decl
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "script": self.scripts += 1
        if tag == "a" and "href" in a: self.links.append(a["href"])
        if tag in ("img", "audio", "link", "iframe") and "src" in a: self.sources.append(a["src"])
b = Page(); b.feed(open("bookmarks.html", encoding="utf-8").read())
check("bookmark doctype", b.doctype == "DOCTYPE NETSCAPE-Bookmark-file-1")
check("bookmark links", "http://www.nttdocomo.co.jp/" in b.links and all(l.startswith("http") for l in b.links))
p = Page(); p.feed(open("index.html", encoding="utf-8").read())
check("no script", p.scripts == 0)
check("no outside resources", all(":" not in s for s in p.sources) and p.sources)
local = [l for l in p.links if ":" not in l and not l.startswith("#")]
from urllib.parse import unquote
check("local links exist", all(os.path.exists(unquote(l)) for l in local))
check("only web links", all(l.startswith(("http://", "https://")) for l in p.links if ":" in l))

fonts = [f for f in ("/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2") if os.path.exists(f)]
if shutil.which("fluidsynth") and fonts:
    mids = glob.glob("melodies/*.mid") + glob.glob("mail/*/*.mid")
    check("midis", len(mids) >= 4)
    for mid in mids:
        with tempfile.TemporaryDirectory() as d:
            wav = os.path.join(d, "x.wav")
            subprocess.run(["fluidsynth", "-ni", "-q", "-F", wav, "-r", "22050", fonts[0], mid], capture_output=True, timeout=120)
            check("fluidsynth renders " + mid, os.path.exists(wav) and os.path.getsize(wav) > 10000)
else:
    print("fluidsynth or a sound font missing: .mid files not rendered")
)PY";

struct Family {
    int model;
    const char* folder;
};
constexpr Family kFamilies[] = {{0, "family0"}, {1, "family1"}, {2, "nec"}, {4, "family4"}};

class ArchiveWriterTest : public test::TempHome {
protected:
    void ImportAllSamples() {
        CategoryStores stores;
        stores.LoadAll();
        StoreImportSink sink(stores);
        for (const Family& f : kFamilies) {
            const stdfs::path folder = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples" / f.folder;
            for (const auto& e : stdfs::directory_iterator(folder)) Import(stores, sink, f.model, e.path());
        }
        // An entry and a mail with pictographs: the sun, "i-mode" (a logo without an emoji), an
        // umbrella; a half-width reading that needs composing.
        const stdfs::path pb = Home() / "pb.vcf";
        WriteFileBytes(pb,
                       "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:\x90\xB0\x92\x6A\xF8\x9F "
                       "\x91\xE5\x95\xE3\xF9\x75;;;;\r\n"
                       "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:\xCA\xDA\xB5 \xC0\xDE\xB2\xBD\xB9;;;;\r\n"
                       "TEL;FAX:03-0000-1111\r\nNOTE;CHARSET=SHIFT_JIS:"
                       "\x90\xB0\x82\xEA\xF8\x9F\x82\xCC\x82\xBF\x89\x4A\xF8\xA1\r\n"
                       "END:VCARD\r\n");
        Import(stores, sink, 4, pb);
        std::string mld = ReadFileBytes(test::DataPath("mld/sample.mld"));
        const std::string mail =
            std::string("sunny@docomo.ne.jp\r\n\r\n\x90\xB0\x82\xEA\xF8\x9F\r\n1073001907\r\n1\r\n") +
            "\x8D\xA1\x93\xFA\x82\xCD\xF8\x9F\r\nFrom the sun\r\n\xF9\x85\x82\xC6\xF9\x91\r\n--B:M\r\n" +
            base64::Encode(mld, 4096);
        WriteFileBytes(Home() / "sun.txt", mail);
        ASSERT_TRUE(stores.in_mail.Register("sun.txt", 0, 1));
    }

    static void Import(CategoryStores& stores, StoreImportSink& sink, int model, const stdfs::path& file) {
        stdfs::create_directories("TmpFiles");
        const std::string name = "TmpFiles\\4a1b2c3d " + file.filename().string();
        stdfs::copy_file(file, stdfs::path("TmpFiles") / ("4a1b2c3d " + file.filename().string()));
        sink.BeginBatch();
        ImporterForModel(model, sink)->Import(name);
        sink.EndBatch();
        (void)stores;
    }

    // Digest of every file of the working folder (the store), by path.
    std::map<std::string, std::string> StoreDigests() const {
        std::map<std::string, std::string> out;
        for (const auto& e : stdfs::recursive_directory_iterator(Home()))
            if (e.is_regular_file() &&
                stdfs::relative(e.path(), Home()).begin()->string().rfind("out", 0) != 0)
                out[e.path().string()] = Sha256::Hex(ReadFileBytes(e.path()));
        return out;
    }

    ArchiveResult Archive(const std::string& dir, const ArchiveWriter::Progress& progress = {}) {
        CategoryStores stores;
        ArchiveWriter::LoadReadOnly(stores);
        ArchiveOptions options;
        options.dir = dir;
        return ArchiveWriter(stores, options).Run(progress);
    }
};

TEST_F(ArchiveWriterTest, StandardReadersAcceptEveryFile) {
    if (SORVANTO_TARGET_WINDOWS)
        GTEST_SKIP() << "the readers are Linux's python3, sha256sum and FluidSynth, which a Windows program "
                        "cannot start";
    ImportAllSamples();
    const auto before = StoreDigests();
    const ArchiveResult r = Archive("out");
    ASSERT_EQ(r.status, ArchiveResult::Status::kDone) << r.message;
    EXPECT_EQ(StoreDigests(), before);
    EXPECT_FALSE(stdfs::exists("out/archive-report.txt"));
    test::WriteFileBytes(Home() / "reader.py", kReader);
    const auto run = test::Run({kPython, (Home() / "reader.py").string()}, 300000);
    EXPECT_EQ(run.exit_code, 0) << run.out << run.err;
    // vCard 4.0 on request, with its lower-case types.
    CategoryStores stores;
    ArchiveWriter::LoadReadOnly(stores);
    ArchiveOptions v4;
    v4.dir = "out4";
    v4.vcard = VCardVersion::k40;
    ASSERT_EQ(ArchiveWriter(stores, v4).Run().status, ArchiveResult::Status::kDone);
    const std::string vcf = ReadFileBytes("out4/contacts.vcf");
    EXPECT_NE(vcf.find("VERSION:4.0\r\n"), std::string::npos);
    EXPECT_NE(vcf.find("TEL;TYPE=fax:03-0000-1111\r\n"), std::string::npos);
    const auto v4_read =
        test::Run({kPython, "-c",
                   "import vobject,sys; "
                   "c=list(vobject.readComponents(open('out4/contacts.vcf',encoding='utf-8').read()));"
                   "sys.exit(0 if len(c)>10 and all(x.version.value=='4.0' for x in c) else 1)"});
    EXPECT_EQ(v4_read.exit_code, 0) << v4_read.err;
}

TEST_F(ArchiveWriterTest, BadItemsAreSkippedAndNamedTheStoreStaysAsItWas) {
    ImportAllSamples();
    CategoryStores stores;
    ArchiveWriter::LoadReadOnly(stores);
    // A missing picture, a mail cut inside its header lines, a melody that is no MLD, a missing
    // address entry file.
    ASSERT_GT(stores.picture.Count(), 0);
    ASSERT_GT(stores.melody.Count(), 0);
    stdfs::remove(fs::NativePath(stores.picture.At(0)->path));
    WriteFileBytes(fs::NativePath(stores.in_mail.At(0)->path), "a@b.jp\r\n\r\n");
    WriteFileBytes(fs::NativePath(stores.melody.At(0)->path), "this is no melody");
    stdfs::remove(fs::NativePath(stores.address.At(0)->path));
    const auto before = StoreDigests();
    const auto outside_before = std::distance(stdfs::directory_iterator(Home()), stdfs::directory_iterator());

    const ArchiveResult r = Archive("out");
    EXPECT_EQ(r.status, ArchiveResult::Status::kSkipped);
    EXPECT_EQ(r.skipped, 4) << ReadFileBytes("out/archive-report.txt");
    EXPECT_NE(r.message.find("4 items skipped, see archive-report.txt"), std::string::npos) << r.message;
    const std::string report = ReadFileBytes("out/archive-report.txt");
    for (const char* reason : {"pictures\t", "data file missing", "mail file damaged", "does not parse",
                               "data file missing or unreadable"})
        EXPECT_NE(report.find(reason), std::string::npos) << reason << "\n" << report;
    // The melody that does not parse keeps its original bytes, without a .mid.
    int mld = 0, mid = 0;
    for (const auto& e : stdfs::directory_iterator("out/melodies")) {
        mld += e.path().extension() == ".mld";
        mid += e.path().extension() == ".mid";
    }
    EXPECT_EQ(mid, mld - 1);
    // Every line of SHA256SUMS names a file of the archive with its digest.
    const std::string sums = ReadFileBytes("out/SHA256SUMS");
    int summed = 0;
    for (std::size_t at = 0, end; (end = sums.find('\n', at)) != std::string::npos; at = end + 1, ++summed) {
        const std::string line = sums.substr(at, end - at);
        ASSERT_GT(line.size(), 66u) << line;
        const std::string relative = line.substr(66);
        EXPECT_EQ(
            line.substr(0, 64),
            Sha256::Hex(ReadFileBytes(stdfs::path("out") / std::u8string(relative.begin(), relative.end()))))
            << relative;
    }
    EXPECT_GT(summed, 10);
    if (!SORVANTO_TARGET_WINDOWS) {
        EXPECT_EQ(test::Run({"/bin/sh", "-c", "cd out && sha256sum -c --quiet SHA256SUMS"}).exit_code, 0);
    }
    EXPECT_EQ(StoreDigests(), before);
    EXPECT_EQ(std::distance(stdfs::directory_iterator(Home()), stdfs::directory_iterator()),
              outside_before + 1);

    // An existing folder that holds anything is refused and left as it was.
    const ArchiveResult again = Archive("out");
    EXPECT_EQ(again.status, ArchiveResult::Status::kRefused);
    EXPECT_NE(again.message.find("is not empty"), std::string::npos);
    // A folder that cannot be made (its parent is a file).
    WriteFileBytes("out-file", "x");
    const ArchiveResult blocked = Archive("out-file/out");
    EXPECT_EQ(blocked.status, ArchiveResult::Status::kFailed);
    EXPECT_NE(blocked.message.find("cannot create"), std::string::npos);
    EXPECT_EQ(ReadFileBytes("out-file"), "x");
    // An empty existing folder is taken.
    stdfs::create_directory("out-empty");
    EXPECT_EQ(Archive("out-empty").status, ArchiveResult::Status::kSkipped);
    EXPECT_EQ(StoreDigests(), before);
}

TEST_F(ArchiveWriterTest, CancelledArchiveLeavesOnlyWholeFiles) {
    ImportAllSamples();
    int calls = 0;
    const ArchiveResult r = Archive("out", [&](int done, int total) {
        EXPECT_LE(done, total);
        return ++calls < 12;
    });
    EXPECT_EQ(r.status, ArchiveResult::Status::kCancelled);
    EXPECT_EQ(calls, 12);
    EXPECT_FALSE(stdfs::exists("out/SHA256SUMS"));
    EXPECT_FALSE(stdfs::exists("out/index.html"));
    for (const auto& e : stdfs::recursive_directory_iterator("out"))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

}  // namespace
}  // namespace sorvanto
