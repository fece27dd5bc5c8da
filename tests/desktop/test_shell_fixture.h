#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

#include "common/settings_file.h"
#include "platform/fs.h"
#include "platform/os_version.h"

namespace sorvanto::test {

// A fresh working folder per test, entered as the program does, with the shared settings
// forgotten so that each test starts from what is on disk.
class ShellHome {
public:
    ShellHome() {
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        SettingsFile::Reset();
        OsVersion::SetForTesting(7, OsVersion::kFamilyNt);
    }
    ~ShellHome() {
        SettingsFile::Reset();
        QDir::setCurrent(previous_);
    }
    QString Path(const QString& relative) const { return dir_.filePath(relative); }

    // Writes a settings file before the document reads it.
    void WriteSettings(const std::string& text) {
        fs::WriteFile(".\\Sorvanto.ini", text);
        SettingsFile::Reset();
    }
    std::string Settings() const { return fs::ReadFile(".\\Sorvanto.ini").value_or(std::string()); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// A "Link" section with a listening port of this test process's own, so that parallel tests
// and a running program do not meet on one port.
inline std::string OwnPortLink() {
    return "[Link]\r\nTransport=tcp\r\nListenPort=" + std::to_string(30000 + QCoreApplication::applicationPid() % 20000) + "\r\n";
}

// Copies a shipped sample object into "TmpFiles\" as the server names a received one.
inline std::string PlaceReceived(const QString& sample, const std::string& stamp, const std::string& name) {
    QDir().mkpath(QStringLiteral("TmpFiles"));
    const std::string stored = "TmpFiles\\" + stamp + " " + name;
    QFile::copy(QStringLiteral(SORVANTO_SOURCE_DIR "/data/samples/") + sample,
                QString::fromStdString(fs::NativePath(stored).string()));
    return stored;
}

}  // namespace sorvanto::test
