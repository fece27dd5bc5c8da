#include "lists/prompt.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "controls/sjis_text.h"
#include "dialogs/comment_dlg.h"
#include "dialogs/mld_info_dlg.h"
#include "dialogs/title_comment_dlg.h"
#include "lists/list_rules.h"

namespace sorvanto {

namespace {

QString Caption() { return QStringLiteral("確認"); }

QMessageBox::Icon BoxIcon(Prompt::Icon icon) {
    switch (icon) {
    case Prompt::Icon::kExclamation: return QMessageBox::Warning;
    case Prompt::Icon::kQuestion: return QMessageBox::Question;
    default: return QMessageBox::NoIcon;
    }
}

class QtPrompt : public Prompt {
public:
    bool Ask(QWidget* parent, const std::string& text, Icon icon) override {
        QMessageBox box(BoxIcon(icon), Caption(), sjis_text::ToQString(text), QMessageBox::Ok | QMessageBox::Cancel,
                        parent);
        return box.exec() == QMessageBox::Ok;
    }

    void Tell(QWidget* parent, const std::string& text, Icon icon) override {
        QMessageBox box(BoxIcon(icon), Caption(), sjis_text::ToQString(text), QMessageBox::Ok, parent);
        box.exec();
    }

    std::optional<std::string> SaveFileName(QWidget* parent, const std::string& proposed, std::string_view filter,
                                            std::string_view default_ext) override {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(QString::fromStdString(QtFilterOf(filter)));
        const std::string_view ext = default_ext.substr(std::min<std::size_t>(default_ext.find('.') + 1, default_ext.size()));
        dialog.setDefaultSuffix(QString::fromUtf8(ext.data(), static_cast<int>(ext.size())));
        dialog.selectFile(sjis_text::ToQString(proposed));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().front().toStdString();  // UTF-8, as the core reads absolute paths
    }

    std::optional<std::string> EditComment(QWidget* parent, const std::string& comment) override {
        CCommentDlg dialog(parent);
        dialog.SetComment(comment);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Comment();
    }

    std::optional<std::pair<std::string, std::string>> EditTitleAndComment(QWidget* parent, const std::string& title,
                                                                          const std::string& comment) override {
        CTitleCommentDlg dialog(parent);
        dialog.SetTitle(title);
        dialog.SetComment(comment);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return std::make_pair(dialog.Title(), dialog.Comment());
    }

    bool OpenUrl(const std::string& url) override {
        return QDesktopServices::openUrl(QUrl(sjis_text::ToQString(url), QUrl::TolerantMode));
    }

    void ShowMelodyDetails(QWidget* parent, const std::string& data_path) override {
        CMldInfoDlg dialog(data_path, parent);
        dialog.exec();
    }
};

}  // namespace

Prompt& Prompt::Default() {
    static QtPrompt prompt;
    return prompt;
}

}  // namespace sorvanto
