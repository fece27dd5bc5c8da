#include <QApplication>

#include "app/sorvanto_app.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorvanto"));
    QApplication::setDesktopFileName(QStringLiteral("jp.quillrock.Sorvanto"));
    sorvanto::CSorvantoApp sorvanto_app(app);
    if (!sorvanto_app.InitInstance()) return 0;
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    const int code = QApplication::exec();
    return code;
}
