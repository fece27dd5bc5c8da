#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "irlink/obex_put_client.h"

namespace sorvanto {

class LinkApi;

// What a send request's kind means: which send job carries it, under which label it is
// logged and which scratch file the list window builds it into; and which log line a send
// result gives. Texts are Shift_JIS bytes.
class SendRequestTable {
public:
    enum Kind : int {
        kAddress = 1,
        kAddressBook = 101,  // several entries at once, replacing the handset's book
        kMelody = 4,
        kStandbyPicture = 5,
        kBookmark = 7,
        kSentMail = 8,    // a sent mail whose Status is nonzero
        kUnsentMail = 9,  // a sent mail whose Status is 0
        kReceivedMail = 10,
        kCameraPicture = 11,
    };

    struct Entry {
        int kind;
        std::string label;        // the request title for the log, "アドレス帳"...
        std::string object_file;  // ".\saddr.tmp"...
    };

    // The entry of a kind; nullopt for a kind not in the table.
    static std::optional<Entry> Find(int kind);

    // The job for a kind, for the model: challenge 1 only for the whole book. nullptr for a
    // kind not in the table. link: for tests; by default the configured link.
    static std::unique_ptr<ObexPutClient> CreateJob(int kind, int model_id, std::unique_ptr<LinkApi> link = nullptr);

    // The log line of a send result: 0 sent (with the request title and the device name), -1
    // handset not found, -2/-3 failed (cancelled or not). nullopt for any other result.
    static std::optional<std::string> ResultLine(int result, bool cancelled, std::string_view title,
                                                 std::string_view device_name);
    // The line of an object that could not be built, so nothing was sent.
    static std::string BuildFailedLine();
};

}  // namespace sorvanto
