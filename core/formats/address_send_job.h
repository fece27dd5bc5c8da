#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "irlink/obex_put_client.h"

namespace sorvanto {

// Sends address-book entries: one entry as a vCard ("pb.vcf"), or several collected into the
// whole phone book ("telecom/pb.vcf"), which the handset takes as a replacement of its book.
class AddressSendJob : public ObexPutClient {
public:
    static constexpr const char* kDefaultFile = "saddr.tmp";
    static constexpr const char* kCollectionName = "telecom/pb.vcf";

    // link: for tests; by default the link ".\Sorvanto.ini" configures.
    AddressSendJob(int model_id, int challenge, std::unique_ptr<LinkApi> link = nullptr);

    // Writes the vCard of the entry in address_file (a per-entry address file) into target
    // (kDefaultFile when empty) and gives the object name. 1 on success, 0 when the target
    // cannot be written.
    int BuildAddress(std::string_view address_file, std::string_view target, std::string& object_name);
    // Appends a built single-entry file to the collection; index 0 starts the collection anew
    // with the dummy entry the handset expects first. 1 on success, 0 when a file fails.
    int AddToCollection(int index, std::string_view single_file, std::string_view collection_file,
                        std::string& object_name);

    // Puts the file (kDefaultFile when none) under the name (the model's name from the
    // category's table when none). The result of Transfer; -1 when the file cannot be opened
    // or the name does not fit.
    int SendObject(const std::string* local_path, const std::string* object_name,
                   TransferMonitor* monitor) override;

};

}  // namespace sorvanto
