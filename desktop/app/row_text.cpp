#include "app/row_text.h"

#include <QStringList>

#include "app/select_view.h"
#include "controls/sjis_text.h"

namespace sorvanto::row_text {

QString TabTextOf(Category c) {
    for (const auto& tab : CSelectView::Tabs())
        if (tab.category == c) return QString::fromUtf8(tab.text);
    return {};
}

QString Joined(const std::vector<std::string>& texts) {
    QStringList parts;
    for (const std::string& t : texts) {
        if (t.empty()) continue;
        QString s = sjis_text::ToQString(t);
        s.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        parts << s.trimmed();
    }
    return parts.join(QStringLiteral("  "));
}

}  // namespace sorvanto::row_text
