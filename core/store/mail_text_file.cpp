#include "store/mail_text_file.h"

#include <cstdlib>

#include "common/sjis.h"
#include "platform/fs.h"
#include "platform/text_file.h"

namespace sorvanto {

namespace {

// A header line longer than this is junk; it is read in pieces that are dropped.
constexpr std::size_t kLineBuffer = 64 * 1024;

// One whole line without its LF; false at the end of the file.
bool ReadWholeLine(TextReader& in, std::string& out) {
    out.clear();
    std::string piece;
    bool any = false;
    while (in.ReadLine(piece, kLineBuffer)) {
        any = true;
        if (out.size() < kLineBuffer) out += piece;
        if (!piece.empty() && piece.back() == '\n') break;
    }
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return any;
}

std::int64_t Number(const std::string& line) { return std::strtoll(line.c_str(), nullptr, 10); }

std::string HeaderLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

}  // namespace

MailFileRead ReadMailItem(std::string_view stored_path, bool received, MailItem& item) {
    TextReader in(stored_path);
    if (!in.IsOpen()) return MailFileRead::kUnreadable;
    std::string lines[5];
    int got = 0;
    while (got < 5 && ReadWholeLine(in, lines[got])) ++got;
    item.from_or_to = sjis::CutBytes(received ? lines[0] : lines[1], 518);
    item.subject = sjis::CutBytes(lines[2], 258);
    item.mail_date = Number(lines[3]);
    item.attachment = static_cast<int>(Number(lines[4]));
    // The header lines are text, but the body is kept as the importers and the composer wrote
    // it: its CR LF line ends are what the composer's boundary and the handsets' objects need.
    item.body = sjis::CutBytes(in.ReadRaw(1560), 1559);
    return got == 5 ? MailFileRead::kOk : MailFileRead::kShort;
}

bool WriteMailText(std::string_view stored_path, const MailText& m) {
    std::string bytes;
    bytes += HeaderLine(m.from) + "\n";
    bytes += HeaderLine(m.to) + "\n";
    bytes += HeaderLine(m.subject) + "\n";
    bytes += std::to_string(m.date) + "\n";
    bytes += std::to_string(m.attachment) + "\n";
    bytes += m.body;
    return fs::WriteFileAtomic(stored_path, bytes);
}

}  // namespace sorvanto
