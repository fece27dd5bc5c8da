#include "store/store_import_sink.h"

namespace sorvanto {

namespace {
constexpr int kFromHandset = 1;
}

// The importers do not look at the results: the store reports its own failures.
void StoreImportSink::AddMelody(const std::string& mld_path) { stores_.melody.Register(mld_path, kFromHandset); }

void StoreImportSink::AddBookmark(const std::string& title, const std::string& url) {
    stores_.bookmark.Register(title, url, kFromHandset);
}

void StoreImportSink::AddOutboxMail(const std::string& mail_path) {
    stores_.out_mail.Register(mail_path, 0, kFromHandset);
}

void StoreImportSink::AddReceivedMail(const std::string& mail_path) {
    stores_.in_mail.Register(mail_path, 0, kFromHandset);
}

void StoreImportSink::AddSentMail(const std::string& mail_path) {
    stores_.out_mail.Register(mail_path, 1, kFromHandset);
}

void StoreImportSink::AddAddress(const std::string& address_ini_path) {
    stores_.address.Register(address_ini_path, kFromHandset);
}

void StoreImportSink::AddStandbyPicture(const std::string& title, const std::string& picture_path) {
    stores_.picture.Register(picture_path, title, std::string(), kFromHandset);
}

void StoreImportSink::AddCameraPicture(const std::string& title, const std::string& picture_path,
                                       const std::string& comment) {
    stores_.my_pic.Register(picture_path, title, comment, kFromHandset);
}

// The store reports its own failures; the object counts as handed over either way.
bool StoreImportSink::AddMelodyBytes(const WorkObject& mld) {
    stores_.melody.RegisterBytes(mld.bytes, kFromHandset);
    return true;
}

bool StoreImportSink::AddOutboxMailBytes(const WorkObject& mail) {
    stores_.out_mail.RegisterBytes(mail.bytes, 0, kFromHandset);
    return true;
}

bool StoreImportSink::AddReceivedMailBytes(const WorkObject& mail) {
    stores_.in_mail.RegisterBytes(mail.bytes, 0, kFromHandset);
    return true;
}

bool StoreImportSink::AddSentMailBytes(const WorkObject& mail) {
    stores_.out_mail.RegisterBytes(mail.bytes, 1, kFromHandset);
    return true;
}

bool StoreImportSink::AddAddressBytes(const WorkObject& entry) {
    stores_.address.RegisterBytes(entry.bytes, kFromHandset);
    return true;
}

bool StoreImportSink::AddStandbyPictureBytes(const std::string& title, const WorkObject& picture) {
    stores_.picture.RegisterBytes(picture.bytes, title, std::string(), kFromHandset);
    return true;
}

bool StoreImportSink::AddCameraPictureBytes(const std::string& title, const WorkObject& picture,
                                            const std::string& comment) {
    stores_.my_pic.RegisterBytes(picture.bytes, title, comment, kFromHandset);
    return true;
}

}  // namespace sorvanto
