#include "controls/list_sort.h"

#include <algorithm>
#include <numeric>

namespace sorvanto::list_sort {

namespace {

unsigned char Fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// Cells are zero-terminated texts on the platform: nothing after a zero byte counts.
std::string_view Compared(std::string_view s) {
    s = s.substr(0, std::min(s.size(), kCompareBytes));
    const auto zero = s.find('\0');
    return zero == std::string_view::npos ? s : s.substr(0, zero);
}

}  // namespace

int CompareCells(std::string_view a, std::string_view b) {
    a = Compared(a);
    b = Compared(b);
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = Fold(a[i]), y = Fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

Order SortOrder(const std::vector<const std::string*>& cells) {
    Order order{std::vector<int>(cells.size()), Direction::kAscending};
    std::iota(order.rows.begin(), order.rows.end(), 0);
    bool ascending_already = true;
    for (std::size_t i = 1; i < cells.size() && ascending_already; ++i)
        ascending_already = CompareCells(*cells[i - 1], *cells[i]) <= 0;
    if (ascending_already) {
        order.direction = Direction::kDescending;
        std::stable_sort(order.rows.begin(), order.rows.end(),
                         [&](int a, int b) { return CompareCells(*cells[b], *cells[a]) < 0; });
    } else {
        std::stable_sort(order.rows.begin(), order.rows.end(),
                         [&](int a, int b) { return CompareCells(*cells[a], *cells[b]) < 0; });
    }
    return order;
}

}  // namespace sorvanto::list_sort
