#include "app/archive_export.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

#include "archive/archive_writer.h"

namespace sorvanto {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

CArchiveExport::AskFolder& Question() {
    static CArchiveExport::AskFolder ask = [](QWidget* parent) -> std::optional<QString> {
        const QString dir = QFileDialog::getExistingDirectory(parent, U("アーカイブ書き出し"));
        if (dir.isEmpty()) return std::nullopt;
        return dir;
    };
    return ask;
}

}  // namespace

void CArchiveExport::SetFolderQuestion(AskFolder ask) {
    Question() = std::move(ask);
}

ArchiveResult CArchiveExport::RunInto(QWidget* parent, const QString& folder) {
    CategoryStores stores;
    ArchiveWriter::LoadReadOnly(stores);
    ArchiveOptions options;
    options.dir = folder.toStdString();  // UTF-8, the form the core takes a chosen folder in
    QProgressDialog progress(U("アーカイブを書き出しています..."), U("キャンセル"), 0, 1, parent);
    progress.setObjectName(QStringLiteral("ArchiveProgress"));
    progress.setWindowTitle(U("アーカイブ書き出し"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    ArchiveWriter writer(stores, options);
    const ArchiveResult result = writer.Run([&progress](int done, int total) {
        if (progress.maximum() != total) progress.setMaximum(total);
        progress.setValue(done);
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    return result;
}

void CArchiveExport::Run(QWidget* parent) {
    const auto folder = Question()(parent);
    if (!folder) return;
    const ArchiveResult result = RunInto(parent, *folder);
    const QString message = QString::fromUtf8(result.message.c_str());
    switch (result.status) {
        case ArchiveResult::Status::kDone:
            QMessageBox::information(parent, U("確認"), U("アーカイブを書き出しました。\n") + message);
            break;
        case ArchiveResult::Status::kCancelled:
            break;
        case ArchiveResult::Status::kRefused:
            QMessageBox::warning(
                parent, U("確認"),
                U("フォルダが空ではありません。新しいフォルダか空のフォルダを選んでください。\n") + message);
            break;
        case ArchiveResult::Status::kSkipped:
            QMessageBox::warning(
                parent, U("確認"),
                U("読めなかった項目を除いて書き出しました (archive-report.txt)。\n") + message);
            break;
        case ArchiveResult::Status::kFailed:
            QMessageBox::warning(parent, U("確認"), U("アーカイブを書き出せませんでした。\n") + message);
            break;
    }
}

}  // namespace sorvanto
