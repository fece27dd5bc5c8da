#pragma once

#include <string>
#include <string_view>

namespace sorvanto {

// Where the importers hand each converted object. The store implements it (registering with
// flag 1, "from the handset"); tests record the calls. Texts are Shift_JIS bytes.
//
// The importers convert in memory and hand each object over through the Bytes calls. A sink
// that wants a file (the path calls) gets one: by default a Bytes call writes the object to its
// work file, makes the path call and removes the file again. The store takes the bytes as they
// are, so an import writes each object once, into the store's data folder.
class ImportSink {
public:
    // A converted object and the work file it is written to for a path call.
    struct WorkObject {
        std::string_view work_file;
        std::string_view bytes;
    };

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

    // The same in memory. False only when the object could not be handed over at all (its
    // work file could not be written); what the receiver then makes of it is its own business.
    virtual bool AddMelodyBytes(const WorkObject& mld);
    virtual bool AddOutboxMailBytes(const WorkObject& mail);
    virtual bool AddReceivedMailBytes(const WorkObject& mail);
    virtual bool AddSentMailBytes(const WorkObject& mail);
    virtual bool AddAddressBytes(const WorkObject& entry);
    virtual bool AddStandbyPictureBytes(const std::string& title, const WorkObject& picture);
    virtual bool AddCameraPictureBytes(const std::string& title, const WorkObject& picture,
                                       const std::string& comment);
};

}  // namespace sorvanto
