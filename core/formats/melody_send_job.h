#pragma once

#include <string>
#include <string_view>

namespace sorvanto {

// Sends one ring melody (an MLD file) inside a vNote: quoted-printable for the P503i(S),
// Base64 in lines of 74 for the P504i(S), one-line Base64 for the NEC models and any other.
class MelodySendJob {
public:
    static constexpr const char* kDefaultFile = "smld.tmp";

    explicit MelodySendJob(int model_id);

    // Writes the object for the melody in mld_file into target (kDefaultFile when empty) and
    // gives the object name. 1 on success, 0 when a file cannot be read or written.
    int BuildMelody(std::string_view mld_file, std::string_view title, std::string_view target,
                    std::string& object_name);

private:
    int model_id_;
};

}  // namespace sorvanto
