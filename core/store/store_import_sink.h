#pragma once

#include <functional>

#include "formats/import_sink.h"
#include "store/category_stores.h"

namespace sorvanto {

// Where the importers' objects land: each call registers the object with flag 1, "from the
// handset", in the store of its category. A category without a store (a list the model does not
// show) drops its objects. A whole received file is one batch when the caller wraps it in
// BeginBatch/EndBatch.
class StoreImportSink : public ImportSink {
public:
    // The store of a category, or null when there is none.
    using StoreFinder = std::function<CategoryStoreBase*(Category)>;

    explicit StoreImportSink(CategoryStores& stores)
        : find_([&stores](Category c) { return &stores.Of(c); }), stores_(&stores) {}
    explicit StoreImportSink(StoreFinder find) : find_(std::move(find)) {}

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

    // Only for a sink over CategoryStores.
    void BeginBatch() {
        if (stores_) stores_->BeginBatch();
    }
    void EndBatch() {
        if (stores_) stores_->EndBatch();
    }

private:
    template <class Store>
    Store* Find(Category c) const {
        return dynamic_cast<Store*>(find_(c));
    }

    StoreFinder find_;
    CategoryStores* stores_ = nullptr;
};

}  // namespace sorvanto
