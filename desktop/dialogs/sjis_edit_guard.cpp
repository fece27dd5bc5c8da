#include "dialogs/sjis_edit_guard.h"

#include <algorithm>

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextEdit>

#include "controls/sjis_text.h"
#include "pictograph/emoji_map.h"

namespace sorvanto {

namespace {

SjisEditGuard::Notifier& TestNotifier() {
    static SjisEditGuard::Notifier notifier;
    return notifier;
}

void Notify(QWidget* parent, const QString& message) {
    if (TestNotifier()) return TestNotifier()(parent, message);
    // Shown with open(), not exec(): the refusal comes from inside the edit's change signal,
    // and a nested event loop there would let more input reach the edit while it is still
    // handling the change. Nothing waits for the answer; the text is already set back.
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("確認"), message, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool Holds(const QString& text) { return sjis_text::FromQString(text).has_value(); }

// What the user brought in may sit next to U+FFFD that the program loaded; only the new part
// is judged.
bool InsertedHolds(QString inserted) {
    inserted.remove(QChar(0xFFFD));
    return Holds(inserted);
}

// The part of now that was not in before: what is left between their common start and end.
QString Inserted(const QString& before, const QString& now) {
    qsizetype start = 0;
    while (start < before.size() && start < now.size() && before[start] == now[start]) ++start;
    qsizetype end = 0;
    while (end < before.size() - start && end < now.size() - start &&
           before[before.size() - 1 - end] == now[now.size() - 1 - end])
        ++end;
    return now.mid(start, now.size() - start - end);
}

class EmojiHighlighter : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override {
        for (const QTextLayout::FormatRange& range : SjisEditGuard::EmojiFormats(text))
            setFormat(range.start, range.length, range.format);
    }
};

}  // namespace

QList<QTextLayout::FormatRange> SjisEditGuard::EmojiFormats(const QString& text) {
    return sjis_text::EmojiFormats(text);
}

void SjisEditGuard::FormatLineEdit(QLineEdit* edit) {
    QList<QInputMethodEvent::Attribute> attributes;
    const int cursor = edit->cursorPosition();
    for (const QTextLayout::FormatRange& range : EmojiFormats(edit->text()))
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, range.start - cursor, range.length,
                                                   range.format);
    QInputMethodEvent event(QString(), attributes);
    QCoreApplication::sendEvent(edit, &event);
}

SjisEditGuard::SjisEditGuard(QWidget* edit, std::function<QString()> text,
                             std::function<void(const QString&, Caret)> restore, std::function<Caret()> caret)
    : QObject(edit), edit_(edit), text_(std::move(text)), restore_(std::move(restore)), caret_(std::move(caret)) {
    last_good_ = text_();
    last_caret_ = caret_();
}

void SjisEditGuard::RememberCaret() {
    // While a change is under way the caret belongs to text not yet judged.
    if (!restoring_ && text_() == last_good_) last_caret_ = caret_();
}

SjisEditGuard* SjisEditGuard::Attach(QLineEdit* edit) {
    auto* guard = new SjisEditGuard(
        edit, [edit] { return edit->text(); },
        [edit](const QString& text, Caret caret) {
            edit->setText(text);
            if (caret.position == caret.anchor)
                edit->setCursorPosition(caret.position);
            else
                edit->setSelection(caret.anchor, caret.position - caret.anchor);
        },
        [edit] {
            const int position = edit->cursorPosition();
            if (!edit->hasSelectedText()) return Caret{position, position};
            const int start = edit->selectionStart(), end = start + edit->selectionLength();
            return Caret{position == start ? end : start, position};
        });
    connect(edit, &QLineEdit::textChanged, guard, [guard, edit](const QString& now) {
        guard->Check(Inserted(guard->last_good_, now));
        FormatLineEdit(edit);
    });
    FormatLineEdit(edit);
    connect(edit, &QLineEdit::cursorPositionChanged, guard, [guard] { guard->RememberCaret(); });
    connect(edit, &QLineEdit::selectionChanged, guard, [guard] { guard->RememberCaret(); });
    return guard;
}

SjisEditGuard* SjisEditGuard::AttachDocument(QWidget* edit, QTextDocument* document, std::function<QString()> text,
                                             std::function<void(const QString&, Caret)> restore,
                                             std::function<Caret()> caret) {
    auto* guard = new SjisEditGuard(edit, std::move(text), std::move(restore), std::move(caret));
    new EmojiHighlighter(document);
    // contentsChange says where a change is and comes first. The edit's textChanged and the
    // document's contentsChanged follow in an order that depends on when the edit last
    // connected to its document (setPlainText does it again); the change is judged on the
    // first of them, which comes before any slot that other limits connected later.
    connect(document, &QTextDocument::contentsChange, guard, [guard](int position, int, int added) {
        guard->pending_position_ = position;
        guard->pending_added_ = added;
        guard->pending_check_ = true;
    });
    connect(document, &QTextDocument::contentsChanged, guard, [guard] { guard->OnEditChanged(); });
    return guard;
}

void SjisEditGuard::OnEditChanged() {
    // The second signal of a change already judged.
    if (!pending_check_ && text_() == last_good_) return;
    pending_check_ = false;
    const QString now = text_();
    const QString inserted =
        pending_position_ >= 0 ? now.mid(pending_position_, pending_added_) : Inserted(last_good_, now);
    pending_position_ = -1;
    Check(inserted);
}

namespace {

template <class Edit>
void RestoreDocumentText(Edit* edit, const QString& text, int anchor, int position) {
    edit->setPlainText(text);
    const int end = int(text.size());
    QTextCursor c = edit->textCursor();
    c.setPosition(std::clamp(anchor, 0, end));
    c.setPosition(std::clamp(position, 0, end), QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
}

}  // namespace

SjisEditGuard* SjisEditGuard::Attach(QPlainTextEdit* edit) {
    auto* guard = AttachDocument(
        edit, edit->document(), [edit] { return edit->toPlainText(); },
        [edit](const QString& text, Caret caret) { RestoreDocumentText(edit, text, caret.anchor, caret.position); },
        [edit] { return Caret{edit->textCursor().anchor(), edit->textCursor().position()}; });
    connect(edit, &QPlainTextEdit::textChanged, guard, [guard] { guard->OnEditChanged(); });
    connect(edit, &QPlainTextEdit::cursorPositionChanged, guard, [guard] { guard->RememberCaret(); });
    connect(edit, &QPlainTextEdit::selectionChanged, guard, [guard] { guard->RememberCaret(); });
    return guard;
}

SjisEditGuard* SjisEditGuard::Attach(QTextEdit* edit) {
    auto* guard = AttachDocument(
        edit, edit->document(), [edit] { return edit->toPlainText(); },
        [edit](const QString& text, Caret caret) { RestoreDocumentText(edit, text, caret.anchor, caret.position); },
        [edit] { return Caret{edit->textCursor().anchor(), edit->textCursor().position()}; });
    connect(edit, &QTextEdit::textChanged, guard, [guard] { guard->OnEditChanged(); });
    connect(edit, &QTextEdit::cursorPositionChanged, guard, [guard] { guard->RememberCaret(); });
    connect(edit, &QTextEdit::selectionChanged, guard, [guard] { guard->RememberCaret(); });
    return guard;
}

void SjisEditGuard::Check(const QString& inserted) {
    if (restoring_) return;
    const QString now = text_();
    if (Holds(now) || InsertedHolds(inserted)) {
        last_good_ = now;
        last_caret_ = caret_();
        return;
    }
    restoring_ = true;
    restore_(last_good_, last_caret_);
    restoring_ = false;
    Notify(edit_, RefusalMessage(inserted));
}

std::optional<std::string> SjisEditGuard::Bytes(QWidget* parent, const QString& text) {
    auto bytes = sjis_text::FromQString(text);
    if (!bytes) Notify(parent, RefusalMessage(text));
    return bytes;
}

QString SjisEditGuard::RefusalMessage(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    const std::u32string points(ucs4.begin(), ucs4.end());
    for (std::size_t i = 0; i < points.size();) {
        if (const auto match = EmojiMap::MatchAt(std::u32string_view(points).substr(i))) {
            i += match->length;
            continue;
        }
        const char32_t c = points[i++];
        if (c == 0xFE0E || c == 0xFE0F) continue;
        const QString one = QString::fromUcs4(&c, 1);
        if (!Holds(one))
            return QStringLiteral("「%1」は携帯電話で使えない文字のため、入力できません。").arg(one);
    }
    return Holds(text) ? QString() : QStringLiteral("携帯電話で使えない文字が含まれています。");
}

void SjisEditGuard::SetNotifierForTesting(Notifier notifier) { TestNotifier() = std::move(notifier); }

}  // namespace sorvanto
