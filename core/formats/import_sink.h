#pragma once

#include <string>

namespace sorvanto {

// Where the importers hand each converted object. The store implements it (registering with
// flag 1, "from the handset"); tests record the calls. The store copies the given files, so an
// importer may delete its work files as soon as a call returns. Texts are Shift_JIS bytes.
class ImportSink {
public:
    virtual ~ImportSink() = default;

    virtual void AddMelody(const std::string& mld_path) = 0;
    virtual void AddBookmark(const std::string& title, const std::string& url) = 0;
    // A mail of the handset's outbox: registered as sent mail with status 0.
    virtual void AddOutboxMail(const std::string& mail_path) = 0;
    virtual void AddReceivedMail(const std::string& mail_path) = 0;
    // A mail of the handset's sent box: registered as sent mail with status 1.
    virtual void AddSentMail(const std::string& mail_path) = 0;
    virtual void AddAddress(const std::string& address_ini_path) = 0;
    virtual void AddStandbyPicture(const std::string& title, const std::string& picture_path) = 0;
    virtual void AddCameraPicture(const std::string& title, const std::string& picture_path,
                                  const std::string& comment) = 0;
};

}  // namespace sorvanto
