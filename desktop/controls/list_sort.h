#pragma once

#include <string>
#include <string_view>
#include <vector>

// The list control's column sort, without widgets.
namespace sorvanto::list_sort {

// Only this much of a cell takes part in the comparison.
constexpr std::size_t kCompareBytes = 259;

// Byte-wise comparison of two Shift_JIS cells: -1, 0 or +1. Bytes compare unsigned after 'A'..'Z'
// are folded to 'a'..'z'; no other byte is folded, trail bytes of double-byte characters included.
int CompareCells(std::string_view a, std::string_view b);

enum class Direction { kAscending, kDescending };

struct Order {
    std::vector<int> rows;  // rows[new position] = old row index
    Direction direction;
};

// The order a header click gives: ascending, unless the cells already are (no neighbours out of
// ascending order), then descending. Equal cells keep their order (stable), so a column of
// equal cells stays as it is and reports the descending pass.
Order SortOrder(const std::vector<const std::string*>& cells);

}  // namespace sorvanto::list_sort
