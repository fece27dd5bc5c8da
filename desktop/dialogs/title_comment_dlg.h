#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPlainTextEdit;

namespace sorvanto {

// Edits a picture's title and comment (200 Shift_JIS bytes each at most). Pictographs from the
// pictograph keyboard (kind-5 requests) go in at the caret of the edit last focused.
class CTitleCommentDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTitleCommentDlg(QWidget* parent = nullptr);

    // Shift_JIS bytes.
    void SetTitle(const std::string& title);
    void SetComment(const std::string& comment);
    const std::string& Title() const { return title_; }
    const std::string& Comment() const { return comment_; }
    int GetTitle(char* buffer, int n) const;
    int GetComment(char* buffer, int n) const;

    QLineEdit* TitleEdit() const { return title_edit_; }
    QPlainTextEdit* CommentEdit() const { return comment_edit_; }
    void accept() override;

protected:
    bool event(QEvent* event) override;

private:
    QLineEdit* title_edit_;
    QPlainTextEdit* comment_edit_;
    QWidget* last_edit_;
    std::string title_;
    std::string comment_;
};

}  // namespace sorvanto
