#include "pictograph/pictograph_grid.h"

namespace sorvanto {

PictographGrid::PictographGrid(std::vector<PictographEntry> entries) : entries_(std::move(entries)) {
    if (entries_.size() > PictographTable::kMaxEntries) entries_.resize(PictographTable::kMaxEntries);
}

PictographGrid::Cell PictographGrid::CellOf(int index) {
    return {(index % kColumns) * kCellSize, (index / kColumns) * kCellSize, kCellSize, kCellSize};
}

int PictographGrid::HitTest(int x, int y, int client_width, int client_height) const {
    if (x < 0 || y < 0 || x >= client_width || y >= client_height) return -1;
    // A wide client area would otherwise let x / 19 spill into the next row.
    if (x / kCellSize >= kColumns) return -1;
    const long long index = x / kCellSize + static_cast<long long>(y / kCellSize) * kColumns;
    return index < Count() ? static_cast<int>(index) : -1;
}

std::optional<PictographGrid::Point> PictographGrid::WindowToGrid(int x, int y) {
    if (x <= kWindowOffset || y <= kWindowOffset) return std::nullopt;
    return Point{x - kWindowOffset, y - kWindowOffset};
}

void PictographGrid::Press(int x, int y, int client_width, int client_height) {
    selection_ = HitTest(x, y, client_width, client_height);
}

std::optional<std::string> PictographGrid::DoubleClick(int x, int y, int client_width,
                                                       int client_height) const {
    const int hit = HitTest(x, y, client_width, client_height);
    if (hit < 0) return std::nullopt;
    return entries_[static_cast<std::size_t>(hit)].OutputBytes();
}

std::optional<std::string> PictographGrid::SelectedOutput() const {
    if (selection_ < 0 || selection_ >= Count()) return std::nullopt;
    return entries_[static_cast<std::size_t>(selection_)].OutputBytes();
}

}  // namespace sorvanto
