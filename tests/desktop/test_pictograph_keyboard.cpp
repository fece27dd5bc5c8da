// The pictograph keyboard window: its table, its clicks and keys, and the kind-5 requests it
// sends to the window the user works in.
#include <QTemporaryDir>
#include <QtTest>

#include "app/copy_data_event.h"
#include "colour_emoji_face.h"
#include "controls/colour_button.h"
#include "dialogs/pictograph_keyboard_dlg.h"

using namespace sorvanto;

namespace {

// An editor stand-in: records every copy-data request and answers with `answer`.
class Receiver : public QWidget {
public:
    int answer = 1;
    std::vector<std::pair<int, std::string>> got;

protected:
    bool event(QEvent* e) override {
        if (e->type() == CopyDataEvent::EventType()) {
            auto* request = static_cast<CopyDataEvent*>(e);
            got.emplace_back(request->Kind(), request->Bytes());
            request->SetResult(answer);
            return true;
        }
        return QWidget::event(e);
    }
};

// The window point inside entry index's cell.
QPoint CellPoint(int index) {
    const auto cell = PictographGrid::CellOf(index);
    return {PictographGrid::kWindowOffset + cell.x + 5, PictographGrid::kWindowOffset + cell.y + 5};
}

}  // namespace

class PictographKeyboardTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    std::string Table(const char* name, const QByteArray& body) {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write("[IMojiCode]\r\n" + body);
        return path.toStdString();
    }

    // A receiver that was the active window when the keyboard came up, then the keyboard
    // clicked and active, as when the user reaches for a pictograph.
    void Activate(QWidget& w) {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

private Q_SLOTS:
    void missingKeyZeroGivesAnEmptyGrid() {
        Receiver editor;
        editor.show();
        Activate(editor);
        CPictographKeyboardDlg keyboard(Table("nozero.ini", "Code1=F89F 0000FF\r\n"));
        keyboard.show();
        QCOMPARE(keyboard.Grid().Count(), 0);
        QTest::mouseClick(&keyboard, Qt::LeftButton, {}, CellPoint(0));
        QCOMPARE(keyboard.Grid().Selection(), -1);
        QTest::mouseClick(keyboard.OutputButton(), Qt::LeftButton);
        QVERIFY(editor.got.empty());
        const QImage& image = keyboard.GridImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) QCOMPARE(image.pixelColor(x, y), QColor(Qt::white));
    }

    void sendsTheDisplayOrTheOutputCode() {
        Receiver editor;
        editor.show();
        Activate(editor);
        CPictographKeyboardDlg keyboard(Table("codes.ini", "Code0=F89F 0000FF\r\nCode1=F89F 0000FF F8A0\r\n"));
        keyboard.show();
        QCOMPARE(keyboard.Target(), &editor);

        QTest::mouseClick(&keyboard, Qt::LeftButton, {}, CellPoint(0));
        QCOMPARE(keyboard.Grid().Selection(), 0);
        QTest::mouseClick(keyboard.OutputButton(), Qt::LeftButton);
        QTest::mouseDClick(&keyboard, Qt::LeftButton, {}, CellPoint(1));
        QCOMPARE(editor.got.size(), std::size_t(2));
        QCOMPARE(editor.got[0].first, 5);
        QCOMPARE(editor.got[0].second, std::string("\xF8\x9F\0", 3));
        QCOMPARE(editor.got[1].second, std::string("\xF8\xA0\0", 3));
        // A double-click on an empty spot sends nothing.
        QTest::mouseDClick(&keyboard, Qt::LeftButton, {}, CellPoint(5));
        QCOMPARE(editor.got.size(), std::size_t(2));
    }

    void clicksReachTheGridTwelvePixelsIn() {
        CPictographKeyboardDlg keyboard(SORVANTO_SOURCE_DIR "/data/imoji.ini");
        keyboard.show();
        QVERIFY(keyboard.Grid().Count() > 48);
        QCOMPARE(keyboard.GridRect().topLeft(), QPoint(12, 12));
        QTest::mouseClick(&keyboard, Qt::LeftButton, {}, CellPoint(2));
        QCOMPARE(keyboard.Grid().Selection(), 2);
        QTest::mouseClick(&keyboard, Qt::LeftButton, {}, QPoint(12, 40));
        QCOMPARE(keyboard.Grid().Selection(), 2);
        // Window (13, 40) is grid (1, 28): the first entry of the second row.
        QTest::mouseClick(&keyboard, Qt::LeftButton, {}, QPoint(13, 40));
        QCOMPARE(keyboard.Grid().Selection(), 24);
    }

    void pressPastTheLastEntryClearsTheSelection() {
        Receiver editor;
        editor.show();
        Activate(editor);
        CPictographKeyboardDlg keyboard(Table("three.ini", "Code0=F89F 0000FF\r\nCode1=F8A0 00FF00\r\nCode2=F8A1 FF0000\r\n"));
        keyboard.show();
        QTest::mouseClick(&keyboard, Qt::LeftButton, {}, CellPoint(1));
        QCOMPARE(keyboard.Grid().Selection(), 1);
        QTest::mouseClick(&keyboard, Qt::LeftButton, {}, CellPoint(3));
        QCOMPARE(keyboard.Grid().Selection(), -1);
        QTest::mouseClick(keyboard.OutputButton(), Qt::LeftButton);
        QVERIFY(editor.got.empty());
    }

    void targetIsActivatedOnlyWhenItAccepts() {
        Receiver editor;
        editor.show();
        Activate(editor);
        CPictographKeyboardDlg keyboard(Table("one.ini", "Code0=F89F 0000FF\r\n"));
        keyboard.show();
        Activate(keyboard);
        QCOMPARE(keyboard.Target(), &editor);

        editor.answer = 0;
        QTest::mouseDClick(&keyboard, Qt::LeftButton, {}, CellPoint(0));
        QCOMPARE(editor.got.size(), std::size_t(1));
        QTest::qWait(50);
        QVERIFY(!editor.isActiveWindow());
        QVERIFY(keyboard.isActiveWindow());

        editor.answer = 1;
        QTest::mouseDClick(&keyboard, Qt::LeftButton, {}, CellPoint(0));
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        // Being active again does not make the keyboard its own target.
        Activate(keyboard);
        QCOMPARE(keyboard.Target(), &editor);
    }

    void enterAndEscapeOnTheKeyboardAreSwallowed() {
        Receiver editor;
        editor.show();
        Activate(editor);
        QPointer<CPictographKeyboardDlg> slot;
        CPictographKeyboardDlg::Open(nullptr, slot, Table("keys.ini", "Code0=F89F 0000FF\r\n"));
        QVERIFY(slot);
        Activate(*slot);
        QTest::mouseClick(slot.data(), Qt::LeftButton, {}, CellPoint(0));
        QCOMPARE(QApplication::focusWidget(), slot.data());
        QTest::keyClick(slot.data(), Qt::Key_Return);
        QTest::keyClick(slot.data(), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(slot);
        QVERIFY(slot->isVisible());
        QVERIFY(editor.got.empty());

        // Enter on "出力" chooses; Esc there closes and the slot empties.
        slot->OutputButton()->setFocus();
        QTest::keyClick(slot->OutputButton(), Qt::Key_Return);
        QCOMPARE(editor.got.size(), std::size_t(1));
        QTest::keyClick(slot->OutputButton(), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!slot);
    }

    void atMostOneKeyboardInTheSlot() {
        QPointer<CPictographKeyboardDlg> slot;
        const std::string table = Table("slot.ini", "Code0=F89F 0000FF\r\n");
        auto* first = CPictographKeyboardDlg::Open(nullptr, slot, table);
        QCOMPARE(CPictographKeyboardDlg::Open(nullptr, slot, table), first);
        int keyboards = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) keyboards += qobject_cast<CPictographKeyboardDlg*>(w) != nullptr;
        QCOMPARE(keyboards, 1);
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!slot);
        QVERIFY(CPictographKeyboardDlg::Open(nullptr, slot, table) != nullptr);
        delete slot.data();
    }

    void selectedEntryIsDrawnInverted() {
        SKIP_WITHOUT_COLOUR_EMOJI_FACE();
        CPictographKeyboardDlg keyboard(Table("draw.ini", "Code0=F89F 0000FF\r\nCode1=F8A0 00FF00\r\nCode2=F8A1 FF0000\r\n"));
        keyboard.show();
        QTest::mouseClick(&keyboard, Qt::LeftButton, {}, CellPoint(1));
        const QImage& image = keyboard.GridImage();
        // Entry 1 (green, 0x00FF00) fills its cell; entry 0 stays on white.
        QCOMPARE(image.pixelColor(19 + 1, 1), QColor(0, 255, 0));
        QCOMPARE(image.pixelColor(18 * 1, 18), QColor(Qt::white));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
        // Every entry drew something in its cell.
        for (int i = 0; i < 3; ++i) {
            const auto cell = PictographGrid::CellOf(i);
            int ink = 0;
            for (int y = cell.y; y < cell.y + cell.height; ++y)
                for (int x = cell.x; x < cell.x + cell.width; ++x) {
                    const QColor c = image.pixelColor(x, y);
                    ink += c != QColor(Qt::white) && !(i == 1 && c == QColor(0, 255, 0));
                }
            QVERIFY2(ink > 10, qPrintable(QStringLiteral("entry %1").arg(i)));
        }
    }
};

QTEST_MAIN(PictographKeyboardTest)
#include "test_pictograph_keyboard.moc"
