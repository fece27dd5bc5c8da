#pragma once

#include <functional>

#include "formats/import_sink.h"
#include "search/store_refs.h"

namespace sorvanto {

// Stands before the sink that registers the importers' objects: an object identical to an
// item already stored in its category is left out, and its store logs "…[%s]は登録済みです"
// in place of the registration line; everything else goes on to the inner sink unchanged.
// The stores are asked for anew on each object (the desktop's lists may have been rebuilt).
class DuplicateSkippingSink : public ImportSink {
public:
    using StoresFn = std::function<StoreRefs()>;
    DuplicateSkippingSink(StoresFn stores, ImportSink& inner) : stores_(std::move(stores)), inner_(inner) {}

    void AddMelody(const std::string& mld_path) override;
    void AddBookmark(const std::string& title, const std::string& url) override;
    void AddOutboxMail(const std::string& mail_path) override;
    void AddReceivedMail(const std::string& mail_path) override;
    void AddSentMail(const std::string& mail_path) override;
    void AddAddress(const std::string& address_ini_path) override;
    void AddStandbyPicture(const std::string& title, const std::string& picture_path) override;
    void AddCameraPicture(const std::string& title, const std::string& picture_path,
                          const std::string& comment) override;

private:
    // Logs the line and answers true when the object is already stored.
    static bool Skip(CategoryStoreBase* store, const std::optional<std::string>& stored_title);

    StoresFn stores_;
    ImportSink& inner_;
};

}  // namespace sorvanto
