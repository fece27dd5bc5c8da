#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "irlink/obex_put_client.h"

namespace sorvanto {

// Sends one camera picture (MyPic) inside a vNote: the bitmap-style note for the P504i(S), the
// DOCOMO picture note for every other model.
class CameraPictureSendJob : public ObexPutClient {
public:
    static constexpr const char* kDefaultFile = "mypic.txt";

    // link: for tests; by default the link ".\Sorvanto.ini" configures.
    explicit CameraPictureSendJob(int model_id, std::unique_ptr<LinkApi> link = nullptr);

    // Writes the object for the picture in picture_file into target (kDefaultFile when empty)
    // and gives the object name. width, height, bytes and type (0 BMP, 1 JPEG, 2 GIF) are the
    // stored item's. 1 on success, 0 when a file cannot be read or written.
    int BuildCameraPicture(std::string_view picture_file, std::string_view title, int width, int height, int bytes,
                           int type, std::string_view target, std::string& object_name);

    // Puts the file (kDefaultFile when none) under the name (the model's name from the
    // category's table when none). The result of Transfer; -1 when the file cannot be opened
    // or the name does not fit.
    int SendObject(const std::string* local_path, const std::string* object_name,
                   TransferMonitor* monitor) override;

};

}  // namespace sorvanto
