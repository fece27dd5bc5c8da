#pragma once

#include <QFont>

namespace sorvanto {

// The faces the program's texts are drawn with. Each names the Windows face first and then
// faces found on other systems that cover Japanese, so that a line is drawn in one face: left
// to Qt's fallback, the Latin digits of a line whose first Japanese character is kana come out
// in another face than those of a line that starts with a kanji.
class AppFonts {
public:
    // "ＭＳ ゴシック" and its stand-ins, fixed pitch: the tab view and the status bar.
    static QFont Gothic(int point_size);
    // A proportional face for the log lines; the point size stays the widget's.
    static QFont UiGothic(const QFont& base);
};

}  // namespace sorvanto
