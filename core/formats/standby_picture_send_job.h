#pragma once

#include <string>
#include <string_view>

namespace sorvanto {

// Sends one standby picture (待ち受け): a 16-bit bitmap vNote for the P504i(S), an NEC picture
// vNote for the NEC models and any other model; the P503i(S) takes none.
class StandbyPictureSendJob {
public:
    static constexpr const char* kDefaultFile = "sscln.txt";

    explicit StandbyPictureSendJob(int model_id);

    // Writes the object for the picture in picture_file (type 0 BMP, 1 JPEG, 2 GIF) into
    // target (kDefaultFile when empty) and gives the object name. `reserved` is kept and not
    // used. 1 on success, 0 when the model takes no standby picture, the picture does not suit
    // the model's format or a file cannot be read or written.
    int BuildStandbyPicture(std::string_view picture_file, std::string_view title, int type, int reserved,
                            std::string_view target, std::string& object_name);

private:
    int model_id_;
    int reserved_ = 0;
};

}  // namespace sorvanto
