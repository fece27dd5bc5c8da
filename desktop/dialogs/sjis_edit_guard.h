#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QList>
#include <QObject>
#include <QString>
#include <QTextLayout>

class QLineEdit;
class QPlainTextEdit;
class QTextEdit;
class QTextDocument;

namespace sorvanto {

// Keeps what the user types or pastes into an edit within what a handset can hold: emoji of
// i-mode pictographs are fine (they are stored as the pictograph codes), characters that code
// page 932 has no form for are taken back at once and the user is told why ("確認" box). The
// guard also draws the pictographs' emoji with the colour emoji font: the usual text fonts
// carry one-colour forms of many of them (the sun, the heart, the faces) and would win.
//
//   SjisEditGuard::Attach(ui_subject);   // before any other limit on the edit (it must see
//                                        // a refused character before the limit drops it)
//   if (auto bytes = SjisEditGuard::Bytes(this, body->toPlainText())) ... store *bytes
//
// U+FFFD, which stands for bytes of a stored text that code page 932 cannot read, is left in
// place when the program puts it there; Bytes still refuses it, so nothing turns into '?'.
class SjisEditGuard : public QObject {
    Q_OBJECT
public:
    // The guard lives as the edit's child.
    static SjisEditGuard* Attach(QLineEdit* edit);
    static SjisEditGuard* Attach(QPlainTextEdit* edit);
    static SjisEditGuard* Attach(QTextEdit* edit);

    // The text as Shift_JIS; when a character cannot be held, tells the user (parent owns the
    // box, which is modal to parent's window and does not block the caller) and gives nullopt.
    static std::optional<std::string> Bytes(QWidget* parent, const QString& text);
    // The message for the first character of text that cannot be held; empty when all can.
    static QString RefusalMessage(const QString& text);

    // The pictographs' emoji in text, formatted with the colour emoji font: for widgets that lay
    // out Shift_JIS text themselves with QTextLayout (lists, the log). Same as
    // sjis_text::EmojiFormats, which widgets outside the dialogs use.
    static QList<QTextLayout::FormatRange> EmojiFormats(const QString& text);

    // Tests watch the message instead of a modal box; an empty function restores the box.
    using Notifier = std::function<void(QWidget* parent, const QString& message)>;
    static void SetNotifierForTesting(Notifier notifier);

private:
    // The caret as anchor and position, so that a refused paste over a selection gives the
    // selection back.
    struct Caret {
        int anchor = 0, position = 0;
    };
    SjisEditGuard(QWidget* edit, std::function<QString()> text, std::function<void(const QString&, Caret)> restore,
                  std::function<Caret()> caret);
    static SjisEditGuard* AttachDocument(QWidget* edit, QTextDocument* document, std::function<QString()> text,
                                         std::function<void(const QString&, Caret)> restore,
                                         std::function<Caret()> caret);
    void RememberCaret();
    // A line edit has no character formats of its own; they go in as input-method formats.
    static void FormatLineEdit(QLineEdit* edit);
    // Called after every change; inserted is the part the change brought in.
    void Check(const QString& inserted);
    // A multi-line edit's textChanged or its document's contentsChanged, whichever is first.
    void OnEditChanged();

    QWidget* edit_;
    std::function<QString()> text_;
    std::function<void(const QString&, Caret)> restore_;
    std::function<Caret()> caret_;
    QString last_good_;
    Caret last_caret_;
    bool restoring_ = false;
    int pending_position_ = -1;
    int pending_added_ = 0;
    bool pending_check_ = false;
};

}  // namespace sorvanto
