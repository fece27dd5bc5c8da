#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "irlink/obex_put_client.h"

namespace sorvanto {

// Sends one ring melody (an MLD file) inside a vNote: quoted-printable for the P503i(S),
// Base64 in lines of 74 for the P504i(S), one-line Base64 for the NEC models and any other.
class MelodySendJob : public ObexPutClient {
public:
    static constexpr const char* kDefaultFile = "smld.tmp";

    // link: for tests; by default the link ".\Sorvanto.ini" configures.
    explicit MelodySendJob(int model_id, std::unique_ptr<LinkApi> link = nullptr);

    // Writes the object for the melody in mld_file into target (kDefaultFile when empty) and
    // gives the object name. 1 on success, 0 when a file cannot be read or written.
    int BuildMelody(std::string_view mld_file, std::string_view title, std::string_view target,
                    std::string& object_name);

    // Puts the file (kDefaultFile when none) under the name (the model's name from the
    // category's table when none). The result of Transfer; -1 when the file cannot be opened
    // or the name does not fit.
    int SendObject(const std::string* local_path, const std::string* object_name,
                   TransferMonitor* monitor) override;

};

}  // namespace sorvanto
