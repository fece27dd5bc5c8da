#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "wire.h"

namespace handset {

struct PushOptions {
    Endpoint to{"127.0.0.1", 6500};
    int packet_size = 1024;  // the handset's own maximum packet length
    std::string passcode;    // answers the PC's digest challenge; empty: a challenge fails the push
    // Opens each push's connection when set (the infrared port); else TCP to `to`.
    std::function<std::unique_ptr<Stream>(std::string* error)> connect;
};

// Pushes one file as a handset does: CONNECT, PUT with Name, Length and Body, more PUTs with
// Body, the last PUT with End of Body, DISCONNECT. 0 on success, else 1 with a line on stderr.
int PushFile(const std::filesystem::path& file, const std::string& object_name, const PushOptions& options);

// Every file of dir/family in name order; a file named "telecom_x" goes as "telecom/x".
int PushSamples(const std::filesystem::path& dir, const std::string& family, const PushOptions& options);

// The object name a sample file is pushed under.
std::string SampleObjectName(const std::string& file_name);

}  // namespace handset
