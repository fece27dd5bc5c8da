#pragma once

#include <QFont>
#include <QPoint>
#include <QString>

class QPainter;

// One line of shown text with the pictographs' emoji in the colour emoji font and everything
// else in the given font, for widgets that paint their own text (the list control's cells).
// Text without emoji goes the plain QFontMetrics / drawText way, so ordinary cells cost what
// they always did and keep their exact widths. UI thread only (the emoji pictures are cached).
namespace sorvanto::emoji_text {

// Width in pixels, rounded up.
int Width(const QFont& font, const QString& text);
// Draws text with its baseline at baseline.y(), starting at baseline.x(), in the painter's pen.
void Draw(QPainter* painter, const QFont& font, QPoint baseline, const QString& text);

}  // namespace sorvanto::emoji_text
