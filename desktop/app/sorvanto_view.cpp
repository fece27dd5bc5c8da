#include "app/sorvanto_view.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "app/app_fonts.h"
#include "app/log_item_delegate.h"
#include "controls/sjis_text.h"
#include "common/time_text.h"
#include "platform/clock.h"

namespace sorvanto {

CSorvantoView::CSorvantoView(QWidget* parent) : QWidget(parent), list_(new QListWidget(this)) {
    list_->setObjectName(QStringLiteral("LogListBox"));
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setFrameShape(QFrame::StyledPanel);
    list_->setFont(AppFonts::UiGothic(list_->font()));
    list_->setUniformItemSizes(true);  // keeps inserting at the top cheap with 1000 lines
    list_->setItemDelegate(new LogItemDelegate(list_));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list_);
}

void CSorvantoView::AppendLog(const std::string& message) {
    const std::string line = LogPrefix(clock::Now()) + message;
    list_->insertItem(0, sjis_text::ToQString(line));  // pictographs as emoji
    while (list_->count() > kMaxLines) delete list_->takeItem(kMaxLines);
}

int CSorvantoView::LineCount() const { return list_->count(); }

QString CSorvantoView::LineAt(int index) const {
    auto* item = list_->item(index);
    return item ? item->text() : QString();
}

}  // namespace sorvanto
