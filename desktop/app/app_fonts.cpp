#include "app/app_fonts.h"

#include <QStringList>

namespace sorvanto {

QFont AppFonts::Gothic(int point_size) {
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                   QStringLiteral("Noto Sans CJK JP"), QStringLiteral("monospace")});
    f.setPointSize(point_size);
    return f;
}

QFont AppFonts::UiGothic(const QFont& base) {
    QFont f = base;
    f.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("Noto Sans CJK JP"),
                   QStringLiteral("Droid Sans Fallback")});
    return f;
}

}  // namespace sorvanto
