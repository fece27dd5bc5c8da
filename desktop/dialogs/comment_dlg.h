#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace sorvanto {

// Edits an item's comment (200 Shift_JIS bytes at most, counted as the handset counts, so
// that nothing typed is cut away later). Pictographs from the pictograph keyboard (kind-5
// requests) go in at the caret, without touching the clipboard.
class CCommentDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxBytes = 200;

    explicit CCommentDlg(QWidget* parent = nullptr);

    // Shift_JIS bytes.
    void SetComment(const std::string& comment);
    const std::string& Comment() const { return comment_; }
    // At most n - 1 bytes and a terminator into buffer; the length copied.
    int GetComment(char* buffer, int n) const;

    QPlainTextEdit* Edit() const { return edit_; }
    void accept() override;

    // Shared with the title and comment dialog.
    // Copies text into a buffer of n bytes (at most n - 1 and a terminator); the length copied.
    static int CopyOut(const std::string& text, char* buffer, int n);
    // Holds an edit to kMaxBytes Shift_JIS bytes and lets Tab move on to the next control, as
    // in every small dialog; the edit's Shift_JIS guard must be attached first.
    static void LimitBytes(QWidget* edit);
    // Inserts the pictograph of a kind-5 payload (lead byte, trail byte, zero) at the caret of
    // a QLineEdit or QPlainTextEdit when the limit leaves room; false when nothing went in.
    static bool InsertPictograph(QWidget* edit, const std::string& payload);
    // Makes a dialog with a parent modal to its parent's window only, so that the pictograph
    // keyboard can still be clicked while the dialog runs with exec().
    static void KeepKeyboardUsable(QDialog* dialog);

protected:
    bool event(QEvent* event) override;

private:
    QPlainTextEdit* edit_;
    std::string comment_;
};

}  // namespace sorvanto
