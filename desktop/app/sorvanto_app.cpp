#include "app/sorvanto_app.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/app_icons.h"
#include "app/main_frame.h"
#include "app/sorvanto_doc.h"
#include "common/settings_file.h"
#include "platform/single_instance.h"
#include "platform/working_folder.h"

namespace sorvanto {

namespace {

// Where the shipped data folder is: beside an installed program, or the source tree of a
// build.
QStringList DataFolders() {
    const QString exe = QCoreApplication::applicationDirPath();
    QStringList folders{exe + QStringLiteral("/../share/sorvanto"), exe + QStringLiteral("/data")};
#ifdef SORVANTO_SOURCE_DIR
    folders << QString::fromUtf8(SORVANTO_SOURCE_DIR "/data");
#endif
    return folders;
}

}  // namespace

CSorvantoApp::CSorvantoApp(QApplication& app) : app_(app) {}

CSorvantoApp::~CSorvantoApp() {
    frame_.reset();  // the lists write their indexes, the window its placement
    doc_.reset();    // then Model and IrMode, and the settings file is saved
}

bool CSorvantoApp::InstallShippedFile(const QString& relative, const QString& target) {
    if (QFile::exists(target)) return true;
    QDir().mkpath(QFileInfo(target).absolutePath());
    for (const QString& folder : DataFolders()) {
        const QString source = folder + QLatin1Char('/') + relative;
        if (QFile::exists(source) && QFile::copy(source, target)) {
            QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
            return true;
        }
    }
    return false;
}

void CSorvantoApp::LoadTranslations() {
    // Qt's own dialogs (file dialogs, message box buttons) in Japanese when installed.
    translator_ = std::make_unique<QTranslator>();
    if (translator_->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app_.installTranslator(translator_.get());
}

bool CSorvantoApp::InitInstance() {
    instance_ = std::make_unique<SingleInstance>(kInstanceName);
    if (!instance_->IsFirst()) return false;  // the running copy is left alone, silently
    if (!EnterWorkingFolder(ResolveWorkingFolder())) return false;
    SettingsFile::Reset();
    InstallShippedFile(QStringLiteral("imoji.ini"), QStringLiteral("imoji.ini"));
    InstallShippedFile(QStringLiteral("help/index.html"), QStringLiteral("help/index.html"));
    LoadTranslations();
    app_.setWindowIcon(AppIcons::Program());

    doc_ = std::make_unique<CSorvantoDoc>();
    frame_ = std::make_unique<CMainFrame>(*doc_);
    if (SettingsFile::Get().GetInt("System", "WinType", 0) != 0) frame_->showMaximized();
    else frame_->show();
    frame_->StartUp();
    return true;
}

}  // namespace sorvanto
