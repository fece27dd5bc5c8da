#include "app/log_item_delegate.h"

#include <QApplication>
#include <QPainter>

#include "controls/emoji_text.h"
#include "controls/sjis_text.h"

namespace sorvanto {

void LogItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (sjis_text::EmojiRanges(text).empty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();  // background, selection and focus as usual; the text is ours
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    const QFontMetrics metrics(opt.font);
    const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
    painter->save();
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(area);
    emoji_text::Draw(painter, opt.font, QPoint(area.left() + 2, baseline), text);
    painter->restore();
}

}  // namespace sorvanto
