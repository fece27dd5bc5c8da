#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/window_requests.h"

namespace sorvanto {

// The mail composer's behaviour without its window: the split of a stored body into text and
// attached melody, the limits and the counter, choosing or dropping a melody, and the records
// that "完了" and "返信" hand to the main window. Lengths are Shift_JIS bytes.
class MailDraft {
public:
    static constexpr std::size_t kAddressLimit = 256;
    static constexpr std::size_t kSubjectLimit = 30;
    static constexpr std::size_t kBodyLimit = 500;
    static constexpr std::size_t kBodyLimitWithAttachment = 491;
    // A stored attachment longer than this is not taken apart (see Open).
    static constexpr std::size_t kMaxAttachmentText = 1023;

    enum class ChooseResult { Attached, TooLarge };

    // Splits the record's body when its attachment flag is set. A body without a boundary, or
    // one whose attachment text is longer than a composer can hold, is shown whole with no
    // attachment, so nothing of it is lost.
    explicit MailDraft(const MailRecord& record);

    int Key() const { return key_; }
    const std::string& Address() const { return address_; }
    const std::string& Subject() const { return subject_; }
    const std::string& Body() const { return body_; }

    // Whether an attachment is chosen ("保存" enabled); its Base64 text may be empty when the
    // melody file could not be read.
    bool Attached() const { return attached_; }
    const std::string& AttachmentText() const { return attachment_; }
    const std::string& AttachmentTitle() const { return title_; }
    // The attached melody's bytes, for "保存".
    std::string AttachmentBytes() const;

    std::size_t BodyLimit() const;
    // "%d/%d 文字"
    std::string CounterText(std::size_t body_bytes) const;

    // A melody chosen in the drop-down list: its file bytes (nullopt when unreadable) and its
    // title. body_bytes is the body's current length.
    ChooseResult ChooseMelody(const std::optional<std::string>& mld_bytes, std::string_view title,
                              std::size_t body_bytes);
    void DropAttachment();

    // "完了": the finished mail, or nullopt when everything is empty (nothing is stored).
    std::optional<MailRecord> Finish(std::string_view address, std::string_view subject,
                                     std::string_view body) const;
    // "返信": a new mail to the same address, subject "Re:" + subject cut to 30 bytes.
    MailRecord Reply() const;

    // "新規作成" / "修正" in compose mode, "参照" in view mode.
    std::string WindowTitle(bool compose) const;

    // The title chunk of a melody ("titl", the last one wins), at most 255 bytes.
    static std::string MelodyTitle(std::string_view mld);
    // Boundary text between body and attachment.
    static std::string_view Boundary(bool body_empty);

private:
    int key_ = -1;
    std::string address_;
    std::string subject_;
    std::string body_;
    bool attached_ = false;
    std::string attachment_;
    std::string title_;
};

// The address line confirmed in the selection dialog, cut to the address limit: at the last
// ';' before it, or to 255 bytes when there is none. was_cut tells the caller to show
// "アドレスが多すぎます。".
std::string CutAddressLine(std::string_view line, bool* was_cut);
std::string TooManyAddressesMessage();
std::string TooLargeMessage();

}  // namespace sorvanto
