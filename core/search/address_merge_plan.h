#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "search/duplicate_finder.h"
#include "store/address_entry_file.h"

namespace sorvanto {

// How many numbers and mail addresses one entry may hold: the entry editor's rows run over
// indices 0 .. 99 for each, and an entry the editor cannot show whole is no entry to make.
struct MergeLimits {
    std::size_t numbers = 100;
    std::size_t mails = 100;
};

// The merge of a group of address entries into its first: the first entry keeps its texts
// (an empty name, kana, postal code, address or memo is taken from the first other entry that
// has one) and gains every number and mail address it lacks, each with its kind and icon, in
// the order of the group. A number it already has (on its digits) or an address (folded) is
// not added twice.
struct AddressMergePlan {
    int keep_key = -1;
    std::vector<int> drop_keys;
    AddressEntry merged;
};

// The plan, or the reason it cannot be made as a Shift_JIS message for the user: an entry
// that cannot be read ("処理に失敗しました"), or more numbers or addresses than the limits
// ("登録数が多すぎます").
struct AddressMergeResult {
    std::optional<AddressMergePlan> plan;
    std::string refusal;
};
AddressMergeResult MakeAddressMergePlan(const AddressStore& store, const DuplicateGroup& group,
                                        MergeLimits limits = {});

}  // namespace sorvanto
