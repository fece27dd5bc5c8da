#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/vcard_writer.h"
#include "store/category_stores.h"

namespace sorvanto {

struct ArchiveOptions {
    std::string dir;         // native path; created, and refused when it exists and is not empty
    bool wav = false;        // render each melody to WAV as well
    std::string sound_font;  // for the WAV files
    VCardVersion vcard = VCardVersion::k30;
};

struct ArchiveResult {
    enum class Status {
        kDone,       // everything written
        kSkipped,    // everything else written; archive-report.txt names what was skipped
        kRefused,    // DIR exists and is not empty: nothing written
        kFailed,     // DIR cannot be made or a file cannot be written
        kCancelled,  // stopped by the caller; every file written so far is whole
    };
    Status status = Status::kDone;
    std::string message;  // one line (UTF-8)
    int files = 0;        // files written
    int skipped = 0;      // items left out
};

// The whole store copied into DIR in open formats: contacts.vcf, mail/*.mbox and
// mail/<box>/<nnnn>.eml, bookmarks.html, melodies/ (.mld, .mid, .wav), pictures/ and camera/,
// index.html, SHA256SUMS and, when items were skipped, archive-report.txt. The stores are only
// read (load them read-only); every file is written under a temporary name and renamed, so no
// half-written file ever carries its final name; nothing is written outside DIR.
class ArchiveWriter {
public:
    // done/total items; returning false cancels.
    using Progress = std::function<bool(int done, int total)>;

    ArchiveWriter(const CategoryStores& stores, ArchiveOptions options);
    ~ArchiveWriter();
    ArchiveWriter(const ArchiveWriter&) = delete;
    ArchiveWriter& operator=(const ArchiveWriter&) = delete;

    ArchiveResult Run(const Progress& progress = {});

    // Loads the seven stores of the working folder read-only.
    static void LoadReadOnly(CategoryStores& stores);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sorvanto
