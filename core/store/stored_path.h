#pragma once

#include <string_view>

namespace sorvanto {

// Whether a path read from an index file stays inside the working folder: relative, no drive
// or root, no ".." component. Index files are plain text a user (or another program) may have
// edited, and the store deletes and rewrites the files they name.
bool IsInsideWorkingFolder(std::string_view stored_path);

}  // namespace sorvanto
