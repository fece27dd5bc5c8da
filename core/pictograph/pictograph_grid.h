#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pictograph/pictograph_table.h"

namespace sorvanto {

// The pictograph keyboard's grid without the widget: cells of 19 x 19 pixels, 24 to a row,
// left to right from (0, 0), and the selection that presses and double-clicks work on.
class PictographGrid {
public:
    static constexpr int kCellSize = 19;
    static constexpr int kColumns = 24;
    // Clicks reach the keyboard window, whose grid sits 12 pixels in.
    static constexpr int kWindowOffset = 12;

    struct Cell {
        int x, y, width, height;
    };
    struct Point {
        int x, y;
    };

    PictographGrid() = default;
    // At most PictographTable::kMaxEntries are kept.
    explicit PictographGrid(std::vector<PictographEntry> entries);

    const std::vector<PictographEntry>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    // The cell of entry index (also for indexes past the count).
    static Cell CellOf(int index);

    // The entry under client point (x, y), -1 for none (outside the client area or past the
    // last entry).
    int HitTest(int x, int y, int client_width, int client_height) const;
    // A window point passed on to the grid: (x - 12, y - 12) when x >= 13 and y >= 13.
    static std::optional<Point> WindowToGrid(int x, int y);

    int Selection() const { return selection_; }
    // A press selects what the hit test gives; an empty spot clears the selection.
    void Press(int x, int y, int client_width, int client_height);
    // The output bytes for a double-click at (x, y), if it hits an entry.
    std::optional<std::string> DoubleClick(int x, int y, int client_width, int client_height) const;
    // The output bytes of the selected entry ("出力"), if any.
    std::optional<std::string> SelectedOutput() const;

private:
    std::vector<PictographEntry> entries_;
    int selection_ = -1;
};

}  // namespace sorvanto
