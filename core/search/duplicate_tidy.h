#pragma once

#include <cstdint>
#include <string>

#include "search/address_merge_plan.h"
#include "search/duplicate_finder.h"

namespace sorvanto {

// Carries out the tidy of one duplicate group through the store's own operations: address
// entries are merged into the first (its file rewritten and read again, the others deleted);
// of other items the first is kept and the others are deleted. Each deletion logs its line and
// the index is written at once, as a deletion from the list does.
//
// Before anything changes, every item of the group is exported as the PC file the list's save
// writes (.vcf, .eml, .url, or a copy of the melody or picture) into a new folder
// "Backup\YYYYMMDD-HHMMSS\". When a backup file cannot be written, what was written of the
// backup is removed and nothing else happens.
class DuplicateTidy {
public:
    explicit DuplicateTidy(const StoreRefs& stores) : stores_(stores) {}

    struct Outcome {
        bool ok = false;
        std::string message;        // for the user when !ok, Shift_JIS ("処理に失敗しました", ...)
        std::string backup_folder;  // stored form, ending in '\'
    };
    Outcome Tidy(const DuplicateGroup& group, MergeLimits limits = {});

    // "Backup\" and the local time of now; "-2", "-3", ... when that folder exists.
    static std::string NewBackupFolder(std::int64_t now);

private:
    // Writes the backup; false (and nothing left behind) when a file cannot be written.
    bool Backup(const DuplicateGroup& group, const std::string& folder);

    StoreRefs stores_;
};

}  // namespace sorvanto
