#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorvanto {

// A mail for other mail programs: RFC 5322 headers with RFC 2047 encoded words where the text
// is not plain ASCII, a text/plain; charset=UTF-8 body in quoted-printable, attachments in
// Base64 (multipart/mixed then). Texts are UTF-8.
struct MimeAttachment {
    std::string file_name;
    std::string content_type;  // "audio/midi"
    std::string bytes;
};

struct MimeMail {
    std::string from;  // the stored address line; empty: no From header
    std::string to;
    std::string subject;
    std::int64_t date = 0;  // seconds since 1970
    std::string body;
    std::vector<MimeAttachment> attachments;
    std::string message_id;  // local part of the Message-ID; empty: none
};

// The whole message with CR LF line ends.
std::string BuildMimeMessage(const MimeMail& mail);

// The date as RFC 5322 writes it, in local time with its offset ("Tue, 08 Dec 2026 18:43:06 +0900").
std::string Rfc5322Date(std::int64_t seconds);

// A header value: as it is when it is printable ASCII, otherwise RFC 2047 encoded words of at
// most 75 characters, folded onto continuation lines.
std::string EncodedHeaderText(std::string_view utf8);

// An address line ("a@b; c@d", or a phone number) as an RFC 5322 address list: addresses that
// are valid stay, a local part that is not a dot-atom is quoted, anything else is kept readable
// as the name of an empty group, so no reader finds a defect and no text is lost.
std::string AddressListHeader(std::string_view utf8);

// Quoted-printable of a UTF-8 text for a MIME body: CR LF line ends, lines of at most 76
// characters, trailing blanks escaped.
std::string QuotedPrintableBody(std::string_view utf8);

// One message in an mboxrd file: the "From " line, the message with LF line ends and every
// line of the form ">*From " quoted with one more '>', and the empty line that ends it.
std::string MboxrdEntry(std::string_view message, std::string_view envelope_sender, std::int64_t date);

}  // namespace sorvanto
