#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "melody/mld_data.h"

namespace sorvanto {

// The lines of the melody information dialog, in Shift_JIS: one line per chunk present, in
// the dialog's order; the single line "不正なデータファイル" when nothing loaded. The desktop
// dialog and the command-line tool both show exactly these lines.
std::vector<std::string> MldInfoLines(const MldData& melody);
// Loads the file first.
std::vector<std::string> MldInfoLines(std::string_view stored_path);

}  // namespace sorvanto
