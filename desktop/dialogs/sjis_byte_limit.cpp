#include "dialogs/sjis_byte_limit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <memory>
#include <optional>

#include "controls/sjis_text.h"

namespace sorvanto {

namespace {

constexpr const char* kAccepted = "sjisAccepted";
constexpr const char* kAcceptedBytes = "sjisAcceptedBytes";

QString TextOf(const QWidget* edit) {
    if (auto* line = qobject_cast<const QLineEdit*>(edit)) return line->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(edit)) return plain->toPlainText();
    return {};
}

// A multi-line text as it is stored: line breaks are CR LF, as the handset writes them.
QString StoredForm(const QWidget* edit) {
    QString text = TextOf(edit);
    if (qobject_cast<const QPlainTextEdit*>(edit)) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    }
    return text;
}

int CursorOf(const QWidget* edit) {
    if (auto* line = qobject_cast<const QLineEdit*>(edit)) return line->cursorPosition();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(edit)) return plain->textCursor().position();
    return 0;
}

void Restore(QWidget* edit, const QString& text, int cursor) {
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        const QSignalBlocker block(line);
        line->setText(text);
        line->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) {
        const QSignalBlocker block(plain);
        plain->setPlainText(text);
        QTextCursor c = plain->textCursor();
        c.setPosition(std::min(cursor, static_cast<int>(text.size())));
        plain->setTextCursor(c);
    }
}

// Judges a change against the text accepted before it.
void Check(QWidget* edit, std::size_t limit) {
    const QString now = TextOf(edit);
    const QString before = edit->property(kAccepted).toString();
    const auto bytes = sjis_text::FromQString(StoredForm(edit));
    const std::size_t before_bytes = edit->property(kAcceptedBytes).toULongLong();
    // Over the limit is allowed only while it shrinks (a long stored text being shortened).
    if (bytes && (bytes->size() <= limit || bytes->size() < before_bytes)) {
        edit->setProperty(kAccepted, now);
        edit->setProperty(kAcceptedBytes, static_cast<qulonglong>(bytes->size()));
        return;
    }
    const int grown = static_cast<int>(now.size() - before.size());
    Restore(edit, before, std::max(0, CursorOf(edit) - std::max(0, grown)));
}

}  // namespace

void SjisByteLimit::Apply(QLineEdit* edit, std::size_t max_bytes) {
    edit->setProperty(kAccepted, edit->text());
    edit->setProperty(kAcceptedBytes, static_cast<qulonglong>(Bytes(edit)));
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, max_bytes] { Check(edit, max_bytes); });
}

void SjisByteLimit::Apply(QPlainTextEdit* edit, LimitFn limit) {
    edit->setProperty(kAccepted, edit->toPlainText());
    edit->setProperty(kAcceptedBytes, static_cast<qulonglong>(Bytes(edit)));
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, limit] { Check(edit, limit()); });
}

void SjisByteLimit::SetText(QWidget* edit, const std::string& sjis) {
    QString text = sjis_text::ToQString(sjis);
    if (qobject_cast<QPlainTextEdit*>(edit)) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    edit->setProperty(kAccepted, text);
    edit->setProperty(kAcceptedBytes, static_cast<qulonglong>(sjis.size()));
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        line->setText(text);
        line->setCursorPosition(0);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) {
        plain->setPlainText(text);
    }
}

std::string SjisByteLimit::Text(const QWidget* edit) {
    return sjis_text::FromQString(StoredForm(edit)).value_or(std::string());
}

std::size_t SjisByteLimit::Bytes(const QWidget* edit) { return Text(edit).size(); }

bool SjisByteLimit::Insert(QWidget* edit, const QString& text) {
    const QString before = TextOf(edit);
    if (auto* line = qobject_cast<QLineEdit*>(edit)) line->insert(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) plain->insertPlainText(text);
    return TextOf(edit) != before;
}

}  // namespace sorvanto
