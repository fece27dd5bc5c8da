#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvanto {

// Sends one mail as a vMessage. The P503i(S) and P504i(S) take a quoted-printable body (form
// B), every other model an 8-bit body (form A). The mailbox chooses the box line and the
// object name:
//   0 sent mail the handset has sent, 1 received, 2 sent mail not sent yet, 3 received unread.
class MailSendJob {
public:
    static constexpr const char* kDefaultFile = "smail.tmp";

    MailSendJob(int model_id, int mailbox, int challenge);

    // Writes the vMessage into target (kDefaultFile when empty) and gives the object name. The
    // date line carries the current time; mail_date is not used. 1 on success, 0 when the
    // target cannot be written.
    int BuildMail(std::string_view sender, std::string_view recipient, std::string_view subject,
                  std::string_view body, std::int64_t mail_date, std::string_view target,
                  std::string& object_name);

private:
    int model_id_;
    int mailbox_;
    int challenge_;
};

}  // namespace sorvanto
