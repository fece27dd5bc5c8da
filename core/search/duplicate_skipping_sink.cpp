#include "search/duplicate_skipping_sink.h"

#include "search/incoming_duplicates.h"

namespace sorvanto {

bool DuplicateSkippingSink::Skip(CategoryStoreBase* store, const std::optional<std::string>& stored_title) {
    if (!store || !stored_title) return false;
    store->LogAlreadyStored(*stored_title);
    return true;
}

void DuplicateSkippingSink::AddMelody(const std::string& path) {
    const StoreRefs s = stores_();
    if (!(s.melody && Skip(s.melody, IncomingDuplicates::Melody(*s.melody, path)))) inner_.AddMelody(path);
}

void DuplicateSkippingSink::AddBookmark(const std::string& title, const std::string& url) {
    const StoreRefs s = stores_();
    if (!(s.bookmark && Skip(s.bookmark, IncomingDuplicates::Bookmark(*s.bookmark, title, url))))
        inner_.AddBookmark(title, url);
}

void DuplicateSkippingSink::AddOutboxMail(const std::string& path) {
    const StoreRefs s = stores_();
    if (!(s.out_mail && Skip(s.out_mail, IncomingDuplicates::Mail(*s.out_mail, path, 0)))) inner_.AddOutboxMail(path);
}

void DuplicateSkippingSink::AddReceivedMail(const std::string& path) {
    const StoreRefs s = stores_();
    if (!(s.in_mail && Skip(s.in_mail, IncomingDuplicates::Mail(*s.in_mail, path, 0)))) inner_.AddReceivedMail(path);
}

void DuplicateSkippingSink::AddSentMail(const std::string& path) {
    const StoreRefs s = stores_();
    if (!(s.out_mail && Skip(s.out_mail, IncomingDuplicates::Mail(*s.out_mail, path, 1)))) inner_.AddSentMail(path);
}

void DuplicateSkippingSink::AddAddress(const std::string& path) {
    const StoreRefs s = stores_();
    if (!(s.address && Skip(s.address, IncomingDuplicates::Address(*s.address, path)))) inner_.AddAddress(path);
}

void DuplicateSkippingSink::AddStandbyPicture(const std::string& title, const std::string& path) {
    const StoreRefs s = stores_();
    if (!(s.picture && Skip(s.picture, IncomingDuplicates::Picture(*s.picture, path, title))))
        inner_.AddStandbyPicture(title, path);
}

void DuplicateSkippingSink::AddCameraPicture(const std::string& title, const std::string& path,
                                             const std::string& comment) {
    const StoreRefs s = stores_();
    if (!(s.my_pic && Skip(s.my_pic, IncomingDuplicates::Picture(*s.my_pic, path, title))))
        inner_.AddCameraPicture(title, path, comment);
}

}  // namespace sorvanto
