#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "irlink/obex_put_client.h"

namespace sorvanto {

// Sends one bookmark: a vNote for the P503i(S), a vBookmark for every other model.
class BookmarkSendJob : public ObexPutClient {
public:
    static constexpr const char* kDefaultFile = "sbmk.tmp";

    // link: for tests; by default the link ".\Sorvanto.ini" configures.
    BookmarkSendJob(int model_id, int challenge, std::unique_ptr<LinkApi> link = nullptr);

    // Writes the bookmark object into target (kDefaultFile when empty) and gives the object
    // name. 1 on success, 0 when the target cannot be written: a file that was never created
    // must not be sent as if it held the bookmark.
    int BuildBookmark(std::string_view title, std::string_view url, std::string_view target,
                      std::string& object_name);

    // Puts the file (kDefaultFile when none) under the name (the model's name from the
    // category's table when none). The result of Transfer; -1 when the file cannot be opened
    // or the name does not fit.
    int SendObject(const std::string* local_path, const std::string* object_name,
                   TransferMonitor* monitor) override;

};

}  // namespace sorvanto
