#pragma once

#include <string>
#include <string_view>

namespace sorvanto {

// Sends one bookmark: a vNote for the P503i(S), a vBookmark for every other model.
class BookmarkSendJob {
public:
    static constexpr const char* kDefaultFile = "sbmk.tmp";

    BookmarkSendJob(int model_id, int challenge);

    // Writes the bookmark object into target (kDefaultFile when empty) and gives the object
    // name. 1 on success, 0 when the target cannot be written: a file that was never created
    // must not be sent as if it held the bookmark.
    int BuildBookmark(std::string_view title, std::string_view url, std::string_view target,
                      std::string& object_name);

private:
    int model_id_;
    int challenge_;
};

}  // namespace sorvanto
