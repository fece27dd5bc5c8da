#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "irlink/obex_put_client.h"

namespace sorvanto {

// Sends one standby picture (待ち受け): a 16-bit bitmap vNote for the P504i(S), an NEC picture
// vNote for the NEC models and any other model; the P503i(S) takes none.
class StandbyPictureSendJob : public ObexPutClient {
public:
    static constexpr const char* kDefaultFile = "sscln.txt";

    // link: for tests; by default the link ".\Sorvanto.ini" configures.
    explicit StandbyPictureSendJob(int model_id, std::unique_ptr<LinkApi> link = nullptr);

    // Writes the object for the picture in picture_file (type 0 BMP, 1 JPEG, 2 GIF) into
    // target (kDefaultFile when empty) and gives the object name. `reserved` is kept and not
    // used. 1 on success, 0 when the model takes no standby picture, the picture does not suit
    // the model's format or a file cannot be read or written.
    int BuildStandbyPicture(std::string_view picture_file, std::string_view title, int type, int reserved,
                            std::string_view target, std::string& object_name);

    // Puts the file (kDefaultFile when none) under the name (the model's name from the
    // category's table when none). The result of Transfer; -1 when the file cannot be opened
    // or the name does not fit.
    int SendObject(const std::string* local_path, const std::string* object_name,
                   TransferMonitor* monitor) override;

private:
    int reserved_ = 0;
};

}  // namespace sorvanto
