// Pictographs in texts: a mail kept from a handset shows them as emoji and gives back its own
// bytes; edits keep typed and pasted emoji as pictograph codes and refuse what a handset
// cannot hold.
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include "controls/sjis_text.h"
#include "dialogs/sjis_edit_guard.h"
#include "store/mail_text_file.h"

using namespace sorvanto;

class PictographTextTest : public QObject {
    Q_OBJECT

    QStringList messages_;

private Q_SLOTS:
    void init() {
        messages_.clear();
        SjisEditGuard::SetNotifierForTesting([this](QWidget*, const QString& m) { messages_ << m; });
    }
    void cleanup() { SjisEditGuard::SetNotifierForTesting({}); }

    void mailFromTheHandsetShowsEmojiAndRoundTrips() {
        MailItem mail;
        QCOMPARE(ReadMailItem(SORVANTO_TEST_DATA "/mail/3F2A10B0E1", true, mail), MailFileRead::kOk);
        const QString subject = sjis_text::ToQString(mail.subject);
        QCOMPARE(subject, QString::fromUcs4(U"晴れ\u2600の日曜日"));
        const QString body = sjis_text::ToQString(mail.body);
        // The body is kept as stored, with the handset's CR LF.
        QCOMPARE(body, QString::fromUcs4(U"写真\U0001F4F7送ります\u2764\r\n"
                                         U"家\U0001F3E0で待ってるね#\u20E3\r\n"
                                         U"\u24D8から送信\U0001F631\r\n"));
        // No private-use code point reaches the screen.
        for (const uint point : (subject + body).toUcs4()) QVERIFY(point < 0xE000 || point > 0xF8FF);
        QCOMPARE(sjis_text::FromQString(subject), std::optional<std::string>(mail.subject));
        QCOMPARE(sjis_text::FromQString(body), std::optional<std::string>(mail.body));
    }

    void lineEditKeepsEmojiAndRefusesTheRest() {
        QLineEdit edit;
        SjisEditGuard::Attach(&edit);
        edit.insert(QString::fromUcs4(U"晴れ\u2600\uFE0F"));
        QCOMPARE(messages_.size(), 0);
        edit.insert(QString::fromUcs4(U"\uD55C"));  // Hangul: no code page 932 form
        QCOMPARE(edit.text(), QString::fromUcs4(U"晴れ\u2600\uFE0F"));
        QCOMPARE(edit.cursorPosition(), int(edit.text().size()));
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].contains(QString::fromUcs4(U"\uD55C")));
        QCOMPARE(SjisEditGuard::Bytes(&edit, edit.text()), std::optional<std::string>("\x90\xB0\x82\xEA\xF8\x9F"));
        // Typing goes on from where it was; a refused paste over a selection keeps it.
        QTest::keyClicks(&edit, QStringLiteral("ok"));
        QCOMPARE(edit.text(), QString::fromUcs4(U"晴れ\u2600\uFE0Fok"));
        edit.setSelection(0, 2);
        edit.insert(QString::fromUcs4(U"\u00E9"));
        QCOMPARE(edit.text(), QString::fromUcs4(U"晴れ\u2600\uFE0Fok"));
        QCOMPARE(edit.selectedText(), QStringLiteral("晴れ"));
    }

    void pasteIntoTheBodyIsTakenBackWhole() {
        QPlainTextEdit edit;
        edit.setPlainText(QStringLiteral("abcdef"));
        SjisEditGuard::Attach(&edit);
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(2);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
        QGuiApplication::clipboard()->setText(QString::fromUcs4(U"x\U0001F600y"));  // an emoji i-mode lacks
        edit.paste();
        QCOMPARE(edit.toPlainText(), QStringLiteral("abcdef"));
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].contains(QString::fromUcs4(U"\U0001F600")));

        QGuiApplication::clipboard()->setText(QString::fromUcs4(U"\u2601#\u20E3"));
        edit.paste();
        QCOMPARE(edit.toPlainText(), QString::fromUcs4(U"ab\u2601#\u20E3ef"));
        QCOMPARE(SjisEditGuard::Bytes(&edit, edit.toPlainText()), std::optional<std::string>("ab\xF8\xA0\xF9\x85" "ef"));
        QCOMPARE(messages_.size(), 1);
    }

    void emojiRangesCountUtf16Units() {
        // sun, camera (a surrogate pair), keycap #, the i-mode stand-in (no emoji) and a plain #
        const QString text = QString::fromUcs4(U"a\u2600\U0001F4F7#\u20E3\u24D8b#");
        const auto ranges = SjisEditGuard::EmojiFormats(text);
        QCOMPARE(ranges.size(), 3);
        QCOMPARE(std::make_pair(ranges[0].start, ranges[0].length), std::make_pair(1, 1));
        QCOMPARE(std::make_pair(ranges[1].start, ranges[1].length), std::make_pair(2, 2));
        QCOMPARE(std::make_pair(ranges[2].start, ranges[2].length), std::make_pair(4, 2));
#ifdef Q_OS_WIN
        // Never the bitmap-only Noto face there: Qt's GDI engine falls over on it.
        QCOMPARE(ranges[0].format.fontFamilies().toStringList(), QStringList{QStringLiteral("Segoe UI Emoji")});
#else
        QCOMPARE(ranges[0].format.fontFamilies().toStringList(), QStringList{QStringLiteral("Noto Color Emoji")});
#endif
    }

    void unreadableStoredBytesStayUntilTheTextIsStored() {
        QPlainTextEdit edit;
        SjisEditGuard::Attach(&edit);
        edit.setPlainText(sjis_text::ToQString("abc\xF8"));
        QCOMPARE(edit.toPlainText(), QString::fromUcs4(U"abc\uFFFD"));
        edit.moveCursor(QTextCursor::End);
        edit.insertPlainText(QStringLiteral("d"));
        QCOMPARE(edit.toPlainText(), QString::fromUcs4(U"abc\uFFFDd"));
        QCOMPARE(messages_.size(), 0);
        QVERIFY(!SjisEditGuard::Bytes(&edit, edit.toPlainText()));
        QCOMPARE(messages_.size(), 1);
    }
};

QTEST_MAIN(PictographTextTest)
#include "test_pictograph_text.moc"
