#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/locked_list.h"

namespace sorvanto {

// Received objects wait in "TmpFiles\" and are announced in the receive queue by the server's
// worker (or by a PC file taken in). The user-interface side drains the queue once a tick.
class ReceivePump {
public:
    static constexpr int kNoticeKey = 1;
    static constexpr int kNoticeSize = 260;

    // The server's log lines (an object refused, a peer refused).
    static constexpr int kLogKey = 2;

    using ImportFn = std::function<void(const std::string& stored_path)>;
    using LogFn = std::function<void(const std::string& text)>;

    // Takes every notice off the queue, oldest first. Each key-1 notice is handed to import
    // when there is one (a model that no importer serves passes none and imports nothing), each
    // log line (key 2) to log; every notice is removed, handed on or not. Returns the number of
    // key-1 notices handed on.
    static int Drain(ByteList& queue, const ImportFn& import, const LogFn& log = {});

    // A PC file taken like a received object: copied into "TmpFiles\" under "%s%08x %s" with the
    // current time and the file's own name (behind the last '\' or '/'). When that name exists
    // the next free time value is taken, so a file not yet imported is never overwritten.
    // Returns the stored path of the copy, or nullopt when the copy failed.
    static std::optional<std::string> CopyIntoTmpFiles(const std::string& source_path);

    // Adds a notice (key 1, 260 bytes, the zero-terminated path) for a file in "TmpFiles\".
    static void Notify(ByteList& queue, const std::string& stored_path);
};

}  // namespace sorvanto
