#include "editing/mail_draft.h"

#include <cstdio>

#include "common/sjis.h"
#include "formats/base64.h"

namespace sorvanto {

namespace {

constexpr std::string_view kLongBoundary = "\r\n--B:M\r\n";
constexpr std::string_view kShortBoundary = "--B:M\r\n";
// Earlier builds stored some edited bodies with bare LF line ends; their attachment is found
// after the same boundary without its CRs. Only when the CR LF boundary is absent, so a body
// written the usual way splits exactly as before.
constexpr std::string_view kLongBoundaryLf = "\n--B:M\n";
constexpr std::string_view kShortBoundaryLf = "--B:M\n";
constexpr std::size_t kDecodedAttachmentLimit = 1024;

// The body text ends at the first boundary and the attachment starts after the last one; a
// body that begins with the short boundary has no text.
bool SplitAt(const std::string& body, std::string_view short_boundary, std::string_view long_boundary,
             std::size_t& text_end, std::size_t& attachment_start) {
    if (body.compare(0, short_boundary.size(), short_boundary) == 0) {
        text_end = 0;
        attachment_start = short_boundary.size();
        return true;
    }
    const auto first = body.find(long_boundary);
    if (first == std::string::npos) return false;
    text_end = first;
    attachment_start = body.rfind(long_boundary) + long_boundary.size();
    return true;
}
constexpr std::size_t kEncodedAttachmentLimit = 1024;

}  // namespace

std::string_view MailDraft::Boundary(bool body_empty) { return body_empty ? kShortBoundary : kLongBoundary; }

MailDraft::MailDraft(const MailRecord& record)
    : key_(record.key),
      address_(FieldText(record.address)),
      subject_(FieldText(record.subject)),
      body_(FieldText(record.body)) {
    if (!record.attachment) return;
    std::size_t text_end = std::string::npos;
    std::size_t attachment_start = std::string::npos;
    if (!SplitAt(body_, kShortBoundary, kLongBoundary, text_end, attachment_start) &&
        !SplitAt(body_, kShortBoundaryLf, kLongBoundaryLf, text_end, attachment_start))
        return;
    const std::string attachment = body_.substr(attachment_start);
    if (attachment.size() > kMaxAttachmentText) return;
    attachment_ = attachment;
    title_ = MelodyTitle(base64::Decode(attachment_, kDecodedAttachmentLimit));
    body_.resize(text_end);
    attached_ = true;
}

std::string MailDraft::MelodyTitle(std::string_view mld) {
    const auto at = mld.rfind("titl");
    if (at == std::string_view::npos || at + 6 > mld.size()) return {};
    const std::size_t length = (static_cast<unsigned char>(mld[at + 4]) << 8) | static_cast<unsigned char>(mld[at + 5]);
    std::string_view title = mld.substr(at + 6, length);  // never past the data
    return sjis::CutBytes(title, 255);
}

std::string MailDraft::AttachmentBytes() const { return base64::Decode(attachment_, attachment_.size()); }

std::size_t MailDraft::BodyLimit() const {
    if (!attached_) return kBodyLimit;
    return attachment_.size() >= kBodyLimitWithAttachment ? 0 : kBodyLimitWithAttachment - attachment_.size();
}

std::string MailDraft::CounterText(std::size_t body_bytes) const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%zu/%zu ", body_bytes, BodyLimit());
    return buf + sjis::Lit("文字");
}

MailDraft::ChooseResult MailDraft::ChooseMelody(const std::optional<std::string>& mld_bytes,
                                                std::string_view title, std::size_t body_bytes) {
    const std::string encoded = mld_bytes ? base64::Encode(*mld_bytes, kEncodedAttachmentLimit) : std::string();
    const std::size_t needed = body_bytes > 0 ? body_bytes + kLongBoundary.size() + encoded.size()
                                              : kShortBoundary.size() + encoded.size();
    if (needed > kBodyLimit) return ChooseResult::TooLarge;
    attachment_ = encoded;
    title_ = std::string(title);
    attached_ = true;
    return ChooseResult::Attached;
}

void MailDraft::DropAttachment() {
    attached_ = false;
    attachment_.clear();
    title_.clear();
}

std::optional<MailRecord> MailDraft::Finish(std::string_view address, std::string_view subject,
                                            std::string_view body) const {
    MailRecord out{};
    out.key = key_;
    CopyField(out.address, address);
    CopyField(out.subject, subject);
    std::string text(body);
    if (!attachment_.empty()) {
        // The body field must hold the attachment whole; a text longer than the room left
        // (only possible when a caller bypasses the edit's limit) gives way, not the melody.
        const std::size_t room = sizeof out.body - 1 - kLongBoundary.size() - attachment_.size();
        text = sjis::CutBytes(text, room);
        out.attachment = 1;
        text += Boundary(text.empty());
        text += attachment_;
    }
    CopyField(out.body, text);
    if (FieldText(out.address).empty() && FieldText(out.subject).empty() && FieldText(out.body).empty())
        return std::nullopt;
    return out;
}

MailRecord MailDraft::Reply() const {
    MailRecord out{};
    out.key = -1;
    CopyField(out.address, address_);
    CopyField(out.subject, sjis::CutBytes("Re:" + subject_, kSubjectLimit));
    return out;
}

std::string MailDraft::WindowTitle(bool compose) const {
    if (!compose) return sjis::Lit("参照");
    return sjis::Lit(key_ == -1 ? "新規作成" : "修正");
}

std::string CutAddressLine(std::string_view line, bool* was_cut) {
    const std::size_t limit = MailDraft::kAddressLimit;
    if (was_cut) *was_cut = line.size() > limit;
    if (line.size() <= limit) return std::string(line);
    const auto semicolon = line.substr(0, limit).rfind(';');
    if (semicolon != std::string_view::npos) return std::string(line.substr(0, semicolon));
    return sjis::CutBytes(line, limit - 1);
}

std::string TooManyAddressesMessage() { return sjis::Lit("アドレスが多すぎます。"); }
std::string TooLargeMessage() { return sjis::Lit("サイズが大きすぎます"); }

}  // namespace sorvanto
