#include "formats/send_request_table.h"

#include <initializer_list>

#include "common/sjis.h"
#include "formats/address_send_job.h"
#include "formats/bookmark_send_job.h"
#include "formats/camera_picture_send_job.h"
#include "formats/mail_send_job.h"
#include "formats/melody_send_job.h"
#include "formats/standby_picture_send_job.h"
#include "platform/link_api.h"

namespace sorvanto {

namespace {

struct Row {
    int kind;
    const char* label;  // UTF-8 here, Shift_JIS once looked up
    const char* object_file;
};

constexpr Row kRows[] = {
    {SendRequestTable::kAddress, "アドレス帳", ".\\saddr.tmp"},
    {SendRequestTable::kAddressBook, "アドレス帳(複数件送信)", ".\\saddr_all.tmp"},
    {SendRequestTable::kMelody, "着メロ", ".\\smld.tmp"},
    {SendRequestTable::kStandbyPicture, "待ち受け", ".\\smga.tmp"},
    {SendRequestTable::kBookmark, "ブックマーク", ".\\sbmk.tmp"},
    {SendRequestTable::kSentMail, "送信メール", ".\\somail.tmp"},
    {SendRequestTable::kUnsentMail, "送信メール", ".\\somail.tmp"},
    {SendRequestTable::kReceivedMail, "受信メール", ".\\simail.tmp"},
    {SendRequestTable::kCameraPicture, "カメラ画像", ".\\spic.tmp"},
};

// Puts the values in place of the pattern's "%s" marks in turn; nothing in a value is read as
// a format, so a title holding "%s" stays as it is.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    std::size_t from = 0;
    for (std::string_view value : values) {
        const std::size_t at = pattern.find("%s", from);
        if (at == std::string_view::npos) break;
        out.append(pattern.substr(from, at - from));
        out.append(value);
        from = at + 2;
    }
    out.append(pattern.substr(from));
    return out;
}

}  // namespace

std::optional<SendRequestTable::Entry> SendRequestTable::Find(int kind) {
    for (const Row& row : kRows)
        if (row.kind == kind) return Entry{row.kind, sjis::Lit(row.label), row.object_file};
    return std::nullopt;
}

std::unique_ptr<ObexPutClient> SendRequestTable::CreateJob(int kind, int model_id, std::unique_ptr<LinkApi> link) {
    switch (kind) {
        case kAddress: return std::make_unique<AddressSendJob>(model_id, 0, std::move(link));
        case kAddressBook: return std::make_unique<AddressSendJob>(model_id, 1, std::move(link));
        case kMelody: return std::make_unique<MelodySendJob>(model_id, std::move(link));
        case kStandbyPicture: return std::make_unique<StandbyPictureSendJob>(model_id, std::move(link));
        case kBookmark: return std::make_unique<BookmarkSendJob>(model_id, 0, std::move(link));
        case kSentMail: return std::make_unique<MailSendJob>(model_id, 0, 0, std::move(link));
        case kUnsentMail: return std::make_unique<MailSendJob>(model_id, 2, 0, std::move(link));
        case kReceivedMail: return std::make_unique<MailSendJob>(model_id, 1, 0, std::move(link));
        case kCameraPicture: return std::make_unique<CameraPictureSendJob>(model_id, std::move(link));
        default: return nullptr;
    }
}

std::optional<std::string> SendRequestTable::ResultLine(int result, bool cancelled, std::string_view title,
                                                        std::string_view device_name) {
    switch (result) {
        case 0: return Fill(sjis::Lit("%sを送信しました (%s)"), {title, device_name});
        case -1: return sjis::Lit("ターゲットが範囲内に確認できません");
        case -2:
        case -3: return sjis::Lit(cancelled ? "送信に失敗しました(キャンセル要求)" : "送信に失敗しました");
        default: return std::nullopt;
    }
}

std::string SendRequestTable::BuildFailedLine() { return sjis::Lit("送信データの作成に失敗しました"); }

}  // namespace sorvanto
