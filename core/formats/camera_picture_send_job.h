#pragma once

#include <string>
#include <string_view>

namespace sorvanto {

// Sends one camera picture (MyPic) inside a vNote: the bitmap-style note for the P504i(S), the
// DOCOMO picture note for every other model.
class CameraPictureSendJob {
public:
    static constexpr const char* kDefaultFile = "mypic.txt";

    explicit CameraPictureSendJob(int model_id);

    // Writes the object for the picture in picture_file into target (kDefaultFile when empty)
    // and gives the object name. width, height, bytes and type (0 BMP, 1 JPEG, 2 GIF) are the
    // stored item's. 1 on success, 0 when a file cannot be read or written.
    int BuildCameraPicture(std::string_view picture_file, std::string_view title, int width, int height, int bytes,
                           int type, std::string_view target, std::string& object_name);

private:
    int model_id_;
};

}  // namespace sorvanto
