#pragma once

#include <string>
#include <string_view>

namespace sorvanto {

// Sends address-book entries: one entry as a vCard ("pb.vcf"), or several collected into the
// whole phone book ("telecom/pb.vcf"), which the handset takes as a replacement of its book.
class AddressSendJob {
public:
    static constexpr const char* kDefaultFile = "saddr.tmp";
    static constexpr const char* kCollectionName = "telecom/pb.vcf";

    AddressSendJob(int model_id, int challenge);

    // Writes the vCard of the entry in address_file (a per-entry address file) into target
    // (kDefaultFile when empty) and gives the object name. 1 on success, 0 when the target
    // cannot be written.
    int BuildAddress(std::string_view address_file, std::string_view target, std::string& object_name);
    // Appends a built single-entry file to the collection; index 0 starts the collection anew
    // with the dummy entry the handset expects first. 1 on success, 0 when a file fails.
    int AddToCollection(int index, std::string_view single_file, std::string_view collection_file,
                        std::string& object_name);

private:
    int model_id_;
    int challenge_;
};

}  // namespace sorvanto
