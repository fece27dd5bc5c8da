#pragma once

#include <string>
#include <vector>

#include "search/store_refs.h"

namespace sorvanto {

// The list row texts of the item of a key (the columns its list shows); empty when the
// category has no store or no item has the key.
std::vector<std::string> RowTextsOf(const StoreRefs& stores, Category c, int key);

}  // namespace sorvanto
