#pragma once

#include <QStyledItemDelegate>

namespace sorvanto {

// Paints log lines with the pictographs' emoji in the colour emoji font; the plain item
// drawing would take their one-colour forms from the text font.
class LogItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace sorvanto
