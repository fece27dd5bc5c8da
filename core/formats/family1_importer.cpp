#include "formats/family1_importer.h"

#include <array>
#include <cstdint>

#include "formats/base64.h"

namespace sorvanto {

namespace {

using A = ObjectImporter::Action;

constexpr std::array<ObjectImporter::NameRow, 20> kNames{{
    {0, "mypb.vcf", A::kNotImported},
    {1, "pb.vcf", A::kAddress},
    {2, "cal.vcs", A::kNotImported},
    {3, ".vnt", A::kNotImported},
    {4, "mld.vnt", A::kMelody},
    {5, "scln.vnt", A::kStandbyBitmap},
    {6, "anim.vnt", A::kNotImported},
    {7, "bm.url", A::kBookmarkNote},
    {8, "outmsg.vmg", A::kOutboxMail},
    {9, "sentmsg.vmg", A::kSentMail},
    {10, "inmsg.vmg", A::kReceivedMail},
    {11, "pic.vnt", A::kCameraPicture},
    {11, "mypic.vnt", A::kCameraPicture},
    {101, "telecom_pb.vcf", A::kSplitAddresses},
    {102, "telecom_nt.vcf", A::kNotImported},
    {103, "telecom_cal.vcf", A::kNotImported},
    {104, "telecom_inmsg.vmg", A::kSplitReceivedMails},
    {105, "telecom_sentmsg.vmg", A::kSplitSentMails},
    {106, "telecom_outmsg.vmg", A::kSplitOutboxMails},
    {107, "telecom_bm.url", A::kSplitBookmarks},
}};

constexpr std::size_t kBitmapHeaderBytes = 66;

// The decimal number at the start of text, as atoi reads it; -1 when there is none. Large
// values are held at a bound well past any real size.
long NumberAt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return -1;
    long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) n = std::min(n * 10 + (text[i] - '0'), 1'000'000L);
    return negative ? -n : n;
}

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// BITMAPFILEHEADER + BITMAPINFOHEADER for 16-bit RGB565 with bit-field masks.
std::string BitmapHeader(std::uint32_t width, std::uint32_t height) {
    std::string h;
    h.reserve(kBitmapHeaderBytes);
    h += "BM";
    PutLe(h, 2 * width * height + kBitmapHeaderBytes, 4);
    PutLe(h, 0, 4);
    PutLe(h, kBitmapHeaderBytes, 4);
    PutLe(h, 40, 4);
    PutLe(h, width, 4);
    PutLe(h, height, 4);
    PutLe(h, 1, 2);
    PutLe(h, 16, 2);
    PutLe(h, 3, 4);
    h.append(20, '\0');
    PutLe(h, 0xF800, 4);
    PutLe(h, 0x07E0, 4);
    PutLe(h, 0x001F, 4);
    return h;
}

}  // namespace

bool Family1Importer::ConvertMelody(const ReceivedObject& object, std::string& mld) { return ConvertBase64Melody(object, mld); }

bool Family1Importer::ConvertPicture(const ReceivedObject& object, std::string& bitmap) {
    long width = -1, height = -1;
    bool have_width = false, have_height = false;
    std::string body;
    const bool found = ReadPictureNote(
        object,
        [&](std::string_view line, bool) {
            constexpr std::string_view kWidth = "X-WIDTH:", kHeight = "X-HEIGHT:";
            const std::size_t w = line.find(kWidth);
            if (!have_width && w != std::string_view::npos) {
                width = NumberAt(line.substr(w + kWidth.size()));
                have_width = true;
            }
            const std::size_t h = line.find(kHeight);
            if (!have_height && h != std::string_view::npos) {
                height = NumberAt(line.substr(h + kHeight.size()));
                have_height = true;
            }
            return true;
        },
        body);
    if (!found || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
    if (!IsCleanBase64(body)) return false;
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 2;
    const std::size_t pixel_bytes = row_bytes * static_cast<std::size_t>(height);
    const std::string pixels = base64::Decode(body, pixel_bytes);
    // A short body would leave rows of the picture undefined.
    if (pixels.size() < pixel_bytes) return false;
    // The handset sends the top row first; a bitmap stores the bottom row first.
    bitmap = BitmapHeader(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    bitmap.reserve(kBitmapHeaderBytes + pixel_bytes);
    for (std::size_t row = static_cast<std::size_t>(height); row-- > 0;)
        bitmap.append(pixels, row * row_bytes, row_bytes);
    return true;
}

bool Family1Importer::ParseBookmarkNote(const ReceivedObject& object, std::string& title, std::string& url) {
    return ParseBookmark(object, title, url);
}

bool Family1Importer::ConvertAddress(const ReceivedObject& object, std::string& entry) { return ConvertIconAddress(object, entry); }

bool Family1Importer::ConvertMail(const ReceivedObject& object, std::string& mail) { return ConvertQuotedPrintableMail(object, mail); }

bool Family1Importer::ConvertCameraPicture(const ReceivedObject& object, std::string& title,
                                           std::string& file_name, std::string& picture) {
    return ConvertPictureNote(object, title, file_name, picture);
}

std::span<const ObjectImporter::NameRow> Family1Importer::NameTable() const { return kNames; }

}  // namespace sorvanto
