#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "irlink/obex_put_client.h"

namespace sorvanto {

// Sends one mail as a vMessage. The P503i(S) and P504i(S) take a quoted-printable body (form
// B), every other model an 8-bit body (form A). The mailbox chooses the box line and the
// object name:
//   0 sent mail the handset has sent, 1 received, 2 sent mail not sent yet, 3 received unread.
class MailSendJob : public ObexPutClient {
public:
    static constexpr const char* kDefaultFile = "smail.tmp";

    // link: for tests; by default the link ".\Sorvanto.ini" configures.
    MailSendJob(int model_id, int mailbox, int challenge, std::unique_ptr<LinkApi> link = nullptr);

    // Writes the vMessage into target (kDefaultFile when empty) and gives the object name. The
    // date line carries the current time; mail_date is not used. 1 on success, 0 when the
    // target cannot be written.
    int BuildMail(std::string_view sender, std::string_view recipient, std::string_view subject,
                  std::string_view body, std::int64_t mail_date, std::string_view target,
                  std::string& object_name);

    // Puts the file (kDefaultFile when none) under the name (the model's name from the
    // category's table when none). The result of Transfer; -1 when the file cannot be opened
    // or the name does not fit.
    int SendObject(const std::string* local_path, const std::string* object_name,
                   TransferMonitor* monitor) override;

private:
    int mailbox_;
};

}  // namespace sorvanto
