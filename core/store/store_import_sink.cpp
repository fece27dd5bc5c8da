#include "store/store_import_sink.h"

namespace sorvanto {

namespace {
constexpr int kFromHandset = 1;
}

// The importers do not look at the results: the store reports its own failures.
void StoreImportSink::AddMelody(const std::string& mld_path) {
    if (auto* s = Find<MelodyStore>(Category::kMelody)) s->Register(mld_path, kFromHandset);
}

void StoreImportSink::AddBookmark(const std::string& title, const std::string& url) {
    if (auto* s = Find<BookmarkStore>(Category::kBookmark)) s->Register(title, url, kFromHandset);
}

void StoreImportSink::AddOutboxMail(const std::string& mail_path) {
    if (auto* s = Find<MailStore>(Category::kOutMail)) s->Register(mail_path, 0, kFromHandset);
}

void StoreImportSink::AddReceivedMail(const std::string& mail_path) {
    if (auto* s = Find<MailStore>(Category::kInMail)) s->Register(mail_path, 0, kFromHandset);
}

void StoreImportSink::AddSentMail(const std::string& mail_path) {
    if (auto* s = Find<MailStore>(Category::kOutMail)) s->Register(mail_path, 1, kFromHandset);
}

void StoreImportSink::AddAddress(const std::string& address_ini_path) {
    if (auto* s = Find<AddressStore>(Category::kAddress)) s->Register(address_ini_path, kFromHandset);
}

void StoreImportSink::AddStandbyPicture(const std::string& title, const std::string& picture_path) {
    if (auto* s = Find<PictureStore>(Category::kPicture)) s->Register(picture_path, title, std::string(), kFromHandset);
}

void StoreImportSink::AddCameraPicture(const std::string& title, const std::string& picture_path,
                                       const std::string& comment) {
    if (auto* s = Find<PictureStore>(Category::kMyPic)) s->Register(picture_path, title, comment, kFromHandset);
}

// The store reports its own failures; the object counts as handed over either way.
bool StoreImportSink::AddMelodyBytes(const WorkObject& mld) {
    if (auto* s = Find<MelodyStore>(Category::kMelody)) s->RegisterBytes(mld.bytes, kFromHandset);
    return true;
}

bool StoreImportSink::AddOutboxMailBytes(const WorkObject& mail) {
    if (auto* s = Find<MailStore>(Category::kOutMail)) s->RegisterBytes(mail.bytes, 0, kFromHandset);
    return true;
}

bool StoreImportSink::AddReceivedMailBytes(const WorkObject& mail) {
    if (auto* s = Find<MailStore>(Category::kInMail)) s->RegisterBytes(mail.bytes, 0, kFromHandset);
    return true;
}

bool StoreImportSink::AddSentMailBytes(const WorkObject& mail) {
    if (auto* s = Find<MailStore>(Category::kOutMail)) s->RegisterBytes(mail.bytes, 1, kFromHandset);
    return true;
}

bool StoreImportSink::AddAddressBytes(const WorkObject& entry) {
    if (auto* s = Find<AddressStore>(Category::kAddress)) s->RegisterBytes(entry.bytes, kFromHandset);
    return true;
}

bool StoreImportSink::AddStandbyPictureBytes(const std::string& title, const WorkObject& picture) {
    if (auto* s = Find<PictureStore>(Category::kPicture)) s->RegisterBytes(picture.bytes, title, std::string(), kFromHandset);
    return true;
}

bool StoreImportSink::AddCameraPictureBytes(const std::string& title, const WorkObject& picture,
                                            const std::string& comment) {
    if (auto* s = Find<PictureStore>(Category::kMyPic)) s->RegisterBytes(picture.bytes, title, comment, kFromHandset);
    return true;
}

}  // namespace sorvanto
