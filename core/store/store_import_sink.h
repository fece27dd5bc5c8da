#pragma once

#include "formats/import_sink.h"
#include "store/category_stores.h"

namespace sorvanto {

// Where the importers' objects land: each call registers the object with flag 1, "from the
// handset". A whole received file is one batch when the caller wraps it in BeginBatch/EndBatch.
class StoreImportSink : public ImportSink {
public:
    explicit StoreImportSink(CategoryStores& stores) : stores_(stores) {}

    void AddMelody(const std::string& mld_path) override;
    void AddBookmark(const std::string& title, const std::string& url) override;
    void AddOutboxMail(const std::string& mail_path) override;
    void AddReceivedMail(const std::string& mail_path) override;
    void AddSentMail(const std::string& mail_path) override;
    void AddAddress(const std::string& address_ini_path) override;
    void AddStandbyPicture(const std::string& title, const std::string& picture_path) override;
    void AddCameraPicture(const std::string& title, const std::string& picture_path,
                          const std::string& comment) override;

    // Objects in memory are registered from their bytes: no work file is written.
    bool AddMelodyBytes(const WorkObject& mld) override;
    bool AddOutboxMailBytes(const WorkObject& mail) override;
    bool AddReceivedMailBytes(const WorkObject& mail) override;
    bool AddSentMailBytes(const WorkObject& mail) override;
    bool AddAddressBytes(const WorkObject& entry) override;
    bool AddStandbyPictureBytes(const std::string& title, const WorkObject& picture) override;
    bool AddCameraPictureBytes(const std::string& title, const WorkObject& picture,
                               const std::string& comment) override;

    void BeginBatch() { stores_.BeginBatch(); }
    void EndBatch() { stores_.EndBatch(); }

private:
    CategoryStores& stores_;
};

}  // namespace sorvanto
