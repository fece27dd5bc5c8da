#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "wire.h"

namespace handset {

struct ServeOptions {
    Endpoint listen{"127.0.0.1", 6501};
    bool challenge = false;         // ask the PC for the digest before accepting the CONNECT
    std::string passcode = "0000";  // what the digest must be made with
    std::filesystem::path out = ".";
    bool once = false;              // end after the first connection that carried a request
    std::string device_name = "Handset";
    int stall_after = -1;           // stop answering after this many requests
    bool refuse_last_put = false;
    // Waits for each connection when set (the infrared port; nullptr ends the serving), and
    // `where` names what is listened on; else TCP on `listen`.
    std::function<std::unique_ptr<Stream>(std::string* error)> accept;
    std::string where;
};

// Receives objects as a handset does and stores each under its name in options.out, one log
// line per packet on stdout. Returns 0 (with once) or 1 when it cannot listen.
int Serve(const ServeOptions& options);

// The file name an object is stored under: the name with path separators made harmless.
std::string StoredFileName(const std::string& object_name);

}  // namespace handset
