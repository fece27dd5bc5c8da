#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/category.h"

namespace sorvanto {

// The command-line names of the categories: melody, picture, bookmark, outmail, inmail,
// address, mypic.
std::string_view CategoryName(Category c);
std::optional<Category> CategoryOfName(std::string_view name);

}  // namespace sorvanto
