#pragma once

#include <functional>
#include <string>
#include <string_view>

// Where the list control draws a cell's text: the offset for its alignment when it fits, or
// where it is cut and "..." put on when it does not. Without widgets: widths come from a
// measuring function (the control's font).
namespace sorvanto::ellipsis_fit {

enum class Alignment { kLeft = 0, kRight = 1, kCentre = 2 };

// Width in pixels of Shift_JIS bytes.
using Measure = std::function<int(std::string_view)>;

struct Fit {
    std::string text;  // the bytes to draw
    int x_offset;      // from the cell's left edge
};

// The cell text as drawn in a cell cell_width pixels wide. The text fits only when its width
// + 4 is less than the cell width; otherwise it is cut at a character boundary so that the
// kept part and "..." stay under cell width - 4 (at least one character is kept); when even
// "..." is wider than the cell the whole text is drawn and left to the clipping.
Fit FitCell(std::string_view text, int cell_width, Alignment alignment, const Measure& measure);

// The narrowest cell that shows a text text_width pixels wide whole, by FitCell's rule.
constexpr int WholeWidth(int text_width) { return text_width + 5; }

}  // namespace sorvanto::ellipsis_fit
