#include "controls/ellipsis_fit.h"

#include "common/sjis.h"

namespace sorvanto::ellipsis_fit {

namespace {

constexpr std::string_view kEllipsis = "...";

std::size_t NextChar(std::string_view text, std::size_t pos) {
    const bool wide = sjis::IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size();
    return pos + (wide ? 2 : 1);
}

}  // namespace

Fit FitCell(std::string_view text, int cell_width, Alignment alignment, const Measure& measure) {
    const int text_width = measure(text);
    if (cell_width >= WholeWidth(text_width)) {
        switch (alignment) {
        case Alignment::kRight: return {std::string(text), cell_width - text_width - 2};
        case Alignment::kCentre: return {std::string(text), (cell_width - text_width - 4) / 2 + 2};
        case Alignment::kLeft: break;
        }
        return {std::string(text), 2};
    }
    const int ellipsis_width = measure(kEllipsis);
    if (text.empty() || ellipsis_width > cell_width) return {std::string(text), 2};

    // The prefix before pos, as wide as the text less its rest, must leave room for "...".
    std::size_t previous = 0;
    std::size_t pos = NextChar(text, 0);
    while (pos < text.size() && text_width + ellipsis_width - measure(text.substr(pos)) < cell_width - 4) {
        previous = pos;
        pos = NextChar(text, pos);
    }
    const std::size_t cut = previous == 0 ? NextChar(text, 0) : previous;
    return {std::string(text.substr(0, cut)) + std::string(kEllipsis), 2};
}

}  // namespace sorvanto::ellipsis_fit
