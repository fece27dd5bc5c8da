// Whole phone book and whole inbox imports of 1,000 objects each, through a sink that keeps
// every address and mail file as the store would (a copy under a fresh name). Target: each
// import well under one second.
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "formats/family0_importer.h"
#include "platform/fs.h"

namespace {

namespace stdfs = std::filesystem;

// Copies each handed-over file into a data folder, as the store's register operations do, but
// with a plain write: an fsync per copy would measure the disk, not the import.
class CopyingSink : public sorvanto::ImportSink {
public:
    int copies = 0;
    void AddMelody(const std::string& p) override { Keep(p); }
    void AddBookmark(const std::string&, const std::string&) override { ++copies; }
    void AddOutboxMail(const std::string& p) override { Keep(p); }
    void AddReceivedMail(const std::string& p) override { Keep(p); }
    void AddSentMail(const std::string& p) override { Keep(p); }
    void AddAddress(const std::string& p) override { Keep(p); }
    void AddStandbyPicture(const std::string&, const std::string& p) override { Keep(p); }
    void AddCameraPicture(const std::string&, const std::string& p, const std::string&) override { Keep(p); }

private:
    void Keep(const std::string& p) {
        const auto bytes = sorvanto::fs::ReadFile(p);
        if (bytes) sorvanto::fs::WriteFile("Data\\" + std::to_string(copies++), *bytes);
    }
};

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string PhoneBook(int entries) {
    std::string book;
    for (int i = 0; i < entries; ++i)
        book += Crlf("BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=SHIFT_JIS:\x8e\x52\x93\x63 " + std::to_string(i) +
                     ";;;;\nSOUND;CHARSET=SHIFT_JIS;X-IRMC-N:\xd4\xcf\xc0\xde;;;;\nTEL;CELL:090-0000-" +
                     std::to_string(1000 + i) + "\nX-DIF:0001\nTEL;HOME:03-0000-0000\nX-DIF:0002\n"
                     "EMAIL;INTERNET:user" + std::to_string(i) + "@docomo.ne.jp\nX-MIF:01\n"
                     "X-NOTE;CHARSET=SHIFT_JIS:memo\nX-CLASS:PUBLIC\nEND:VCARD\n");
    return book;
}

std::string Inbox(int mails) {
    std::string box;
    const std::string body = Crlf("BEGIN:VMSG\nVERSION:1.1\nX-IRMC-BOX:INBOX\nBEGIN:VENV\nBEGIN:VENV\nBEGIN:VBODY\n"
                                  "From:friend@docomo.ne.jp\nTo:me@docomo.ne.jp\nSubject:=?shift-jis?B?jaGW6YLM?=\n"
                                  "Date:Fri, 02 Jan 2004 09:05:07 +0900\nContent-Transfer-Encoding:quoted-printable\n\n"
                                  "7=8E=9E=82=C9=89w=91O=82=C5=81B=0D=0A=92x=82=EA=82=BD=82=E7=98A=97=8D=82=B5=\n"
                                  "=82=DC=82=B7=81B\nEND:VBODY\nEND:VENV\nEND:VENV\nEND:VMSG\n");
    for (int i = 0; i < mails; ++i) box += body;
    return box;
}

void Run(benchmark::State& state, sorvanto::ObjectImporter& importer, CopyingSink& sink, const std::string& name,
         const std::string& bytes) {
    for (auto _ : state) {
        state.PauseTiming();
        stdfs::remove_all("Data");
        stdfs::create_directories("Data");
        stdfs::create_directories("TmpFiles");
        std::ofstream("TmpFiles/4a1b2c3d " + name, std::ios::binary) << bytes;
        sink.copies = 0;
        state.ResumeTiming();
        importer.Import("TmpFiles\\4a1b2c3d " + name);
    }
    if (sink.copies != 1000) state.SkipWithError("not every object was registered");
}

void InWorkFolder() {
    static const bool once = [] {
        const auto dir = stdfs::temp_directory_path() / "sorvanto-bench-import";
        stdfs::create_directories(dir);
        stdfs::current_path(dir);
        return true;
    }();
    (void)once;
}

void BM_WholePhoneBook1000(benchmark::State& state) {
    InWorkFolder();
    CopyingSink sink;
    sorvanto::Family0Importer importer(sink);
    Run(state, importer, sink, "telecom_pb.vcf", PhoneBook(1000));
}

void BM_WholeInbox1000(benchmark::State& state) {
    InWorkFolder();
    CopyingSink sink;
    sorvanto::Family0Importer importer(sink);
    Run(state, importer, sink, "telecom_inmsg.vmg", Inbox(1000));
}

}  // namespace

BENCHMARK(BM_WholePhoneBook1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeInbox1000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
