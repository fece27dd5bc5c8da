// The archive's text paths on hostile stored bytes: Shift_JIS to UTF-8 with pictographs, UTF-8
// decoding, file names, the vCard and MIME writers. Every output must be valid UTF-8 (or ASCII
// for headers), and no file name may name a folder.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "archive/html_text.h"
#include "archive/katakana.h"
#include "archive/mime_mail.h"
#include "archive/safe_file_names.h"
#include "archive/vcard_writer.h"
#include "pictograph/pictograph_text.h"

using namespace sorvanto;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = pictograph_text::ToUtf8(bytes);
    bool ok = false;
    const std::u32string points = pictograph_text::DecodeUtf8(utf8, &ok);
    if (!ok) __builtin_trap();
    pictograph_text::FromUtf8(bytes);
    pictograph_text::EmojiSpans(points);
    FullWidthKatakana(points);

    const std::string name = SafeFileNames::Clean(utf8, "x");
    if (name.empty() || name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
        name == "." || name == "..")
        __builtin_trap();

    // Split the input into fields at NUL bytes.
    AddressEntry entry;
    std::string_view rest = bytes;
    std::string* fields[] = {&entry.name, &entry.kana, &entry.adr_no, &entry.adr, &entry.note};
    for (std::string* f : fields) {
        const std::size_t nul = rest.find('\0');
        *f = std::string(rest.substr(0, nul));
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }
    entry.tels.push_back(std::string(rest));
    entry.mails.push_back(entry.note);
    for (VCardVersion v : {VCardVersion::k30, VCardVersion::k40}) {
        pictograph_text::DecodeUtf8(VCardOf(entry, v), &ok);
        if (!ok) __builtin_trap();
    }

    MimeMail mail;
    mail.from = pictograph_text::ToUtf8(entry.name);
    mail.to = pictograph_text::ToUtf8(entry.kana);
    mail.subject = pictograph_text::ToUtf8(entry.adr);
    mail.body = utf8;
    mail.date = static_cast<std::int64_t>(size) * 86400 * 365;
    mail.attachments.push_back(
        {SafeFileNames::Clean(mail.subject, "m") + ".mld", "application/octet-stream", std::string(bytes)});
    const std::string message = BuildMimeMessage(mail);
    for (char c : message)
        if (static_cast<unsigned char>(c) >= 0x80) __builtin_trap();  // headers and bodies are 7-bit
    MboxrdEntry(message, mail.from, mail.date);
    html_text::Escaped(utf8);
    html_text::RelativeHref(utf8);
    return 0;
}
