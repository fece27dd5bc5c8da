#pragma once

#include <QString>

#include <string>
#include <vector>

#include "store/category.h"

// Texts of the search bar's and the duplicates dialog's lists, which show rows of every tab.
namespace sorvanto::row_text {

// The tab's own text for a category ("着メロ", ...), empty for a category without a tab.
QString TabTextOf(Category c);
// A row's texts on one line: the empty ones left out, line ends as blanks.
QString Joined(const std::vector<std::string>& texts);

}  // namespace sorvanto::row_text
