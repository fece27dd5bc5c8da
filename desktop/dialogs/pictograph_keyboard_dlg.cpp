#include "dialogs/pictograph_keyboard_dlg.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "app/copy_data_event.h"
#include "controls/colour_button.h"
#include "controls/sjis_text.h"

namespace sorvanto {

namespace {

constexpr int kMargin = PictographGrid::kWindowOffset;
constexpr int kButtonWidth = 72;
constexpr int kButtonHeight = 26;

QColor FromBgr(std::uint32_t bgr) { return QColor(int(bgr & 0xFF), int(bgr >> 8 & 0xFF), int(bgr >> 16 & 0xFF)); }

// Shows the off-screen picture; clicks go through to the keyboard window, which passes them
// on with the 12-pixel offset.
class GridView : public QWidget {
public:
    GridView(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, image_);
    }

private:
    const QImage& image_;
};

QWidget* WidgetOf(QWindow* window) {
    if (!window) return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowHandle() == window) return w;
    return nullptr;
}

}  // namespace

// The handsets' pictographs are emoji on the PC, so the colour emoji font comes first; the
// Japanese fonts draw the few stand-ins.
QFont CPictographKeyboardDlg::GridFont() {
    QFont font;
    font.setFamilies({sjis_text::EmojiFontFamily(), QStringLiteral("ＭＳ ゴシック"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans Symbols2")});
    // 18 pixels would not leave a colour emoji room inside its 19-pixel cell.
    font.setPixelSize(15);
    font.setWeight(QFont::Normal);
    font.setFixedPitch(true);
    return font;
}

CPictographKeyboardDlg* CPictographKeyboardDlg::Open(QWidget* frame, QPointer<CPictographKeyboardDlg>& slot,
                                                     const std::string& table_path) {
    if (slot) return slot;
    auto* keyboard = new CPictographKeyboardDlg(table_path);
    slot = keyboard;
    if (frame) keyboard->move(frame->geometry().topRight() + QPoint(-keyboard->width() - 24, 48));
    keyboard->show();
    return keyboard;
}

CPictographKeyboardDlg::CPictographKeyboardDlg(const std::string& table_path, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      grid_(PictographTable::Load(table_path)) {
    setWindowTitle(QStringLiteral("絵文字キーボード"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The user keeps typing in the composer: opening the keyboard must not take that away.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::ClickFocus);

    const int rows = std::max(1, (grid_.Count() + PictographGrid::kColumns - 1) / PictographGrid::kColumns);
    const QSize grid_size(PictographGrid::kColumns * PictographGrid::kCellSize, rows * PictographGrid::kCellSize);
    image_ = QImage(grid_size, QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::white);
    view_ = new GridView(image_, this);
    view_->setGeometry(QRect(QPoint(kMargin, kMargin), grid_size));

    output_ = new ColourButton(QStringLiteral("出力"), this);
    output_->Setup(0x0000FF, 0xFFFFFF, 0x000080, 4, 10);
    output_->setGeometry(kMargin + grid_size.width() - kButtonWidth, kMargin * 2 + grid_size.height(), kButtonWidth,
                         kButtonHeight);
    connect(output_, &QPushButton::clicked, this, &CPictographKeyboardDlg::OnOutput);
    setFixedSize(grid_size.width() + 2 * kMargin, grid_size.height() + 3 * kMargin + kButtonHeight);

    TrackTarget(QApplication::activeWindow());
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { TrackTarget(now ? now->window() : nullptr); });
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            [this](QWindow* window) { TrackTarget(WidgetOf(window)); });
    DrawGrid();
}

QRect CPictographKeyboardDlg::GridRect() const { return view_->geometry(); }

void CPictographKeyboardDlg::TrackTarget(QWidget* window) {
    if (!window || window == this || !window->isWindow()) return;
    // Menus and tooltips come and go over the editor without being it.
    const Qt::WindowType type = window->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen) return;
    target_ = window;
}

void CPictographKeyboardDlg::DrawGrid() {
    image_.fill(Qt::white);
    QPainter p(&image_);
    p.setFont(GridFont());
    const auto& entries = grid_.Entries();
    for (int i = 0; i < grid_.Count(); ++i) {
        const PictographGrid::Cell cell = PictographGrid::CellOf(i);
        const QRect rect(cell.x, cell.y, cell.width, cell.height);
        const QColor colour = FromBgr(entries[std::size_t(i)].colour);
        const bool selected = i == grid_.Selection();
        if (selected) p.fillRect(rect, colour);
        // Colour emoji keep their own colours; the stand-ins take the entry's.
        p.setPen(selected ? QColor(Qt::white) : colour);
        p.drawText(rect, Qt::AlignCenter | Qt::TextDontClip,
                   sjis_text::ToQString(entries[std::size_t(i)].DisplayBytes()));
    }
    p.end();
    view_->update();
}

void CPictographKeyboardDlg::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const auto point = PictographGrid::WindowToGrid(pos.x(), pos.y());
    if (!point) return;
    grid_.Press(point->x, point->y, image_.width(), image_.height());
    DrawGrid();
    view_->repaint();
}

void CPictographKeyboardDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    // Not QDialog's: that would take the second click of a pair for another press.
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    const auto point = PictographGrid::WindowToGrid(pos.x(), pos.y());
    if (!point) return;
    if (const auto output = grid_.DoubleClick(point->x, point->y, image_.width(), image_.height()))
        SendToTarget(*output);
}

void CPictographKeyboardDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        // Esc closes only from "出力"; on the keyboard itself it is swallowed.
        if (focusWidget() == output_ && output_->hasFocus()) close();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Neither chooses nor closes. ("出力" with the focus takes Enter itself.)
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CPictographKeyboardDlg::OnOutput() {
    if (const auto output = grid_.SelectedOutput()) SendToTarget(*output);
}

void CPictographKeyboardDlg::SendToTarget(const std::string& output) {
    if (!target_) return;
    std::string bytes = output;
    bytes.push_back('\0');
    QPointer<QWidget> target = target_;
    const int answer = CopyDataEvent::Send(target, kPictographKind, std::move(bytes));
    if (answer != 0 && target) target->activateWindow();
}

}  // namespace sorvanto
