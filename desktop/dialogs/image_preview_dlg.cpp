#include "dialogs/image_preview_dlg.h"

#include <QBuffer>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

#include "app/copy_data_event.h"
#include "common/window_requests.h"
#include "platform/fs.h"

namespace sorvanto {

namespace {
constexpr int kBorder = 5;  // the sizing border, in pixels
constexpr QSize kClientSize(158, 204);
constexpr QRect kFrame(8, 8, 142, 156);
constexpr QRect kButton(44, 172, 70, 24);
}  // namespace

CImagePreviewDlg::CImagePreviewDlg(QWidget* parent)
    // A tool window of the main window: the selection it follows is made in the list beneath,
    // and a click there must not bury it.
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint), close_(new QPushButton(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ImagePreview"));
    close_->setText(QStringLiteral("閉じる"));
    close_->setAutoDefault(false);
    close_->setGeometry(kButton);
    connect(close_, &QPushButton::clicked, this, [this] { close(); });
    resize(kClientSize);
    setMinimumSize(kButton.width() + 2 * kBorder, kButton.height() + 2 * kBorder);
    initial_client_ = kClientSize;
    initial_frame_ = kFrame;
    initial_button_ = kButton;
    frame_ = kFrame;
}

bool CImagePreviewDlg::event(QEvent* e) {
    if (e->type() == CopyDataEvent::EventType()) {
        auto* request = static_cast<CopyDataEvent*>(e);
        const std::string& bytes = request->Bytes();
        if (request->Kind() != static_cast<int>(RequestKind::PreviewPicture) || bytes.empty()) {
            request->SetResult(0);
            return true;
        }
        path_ = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
        request->SetResult(1);
        return true;
    }
    return QDialog::event(e);
}

QImage CImagePreviewDlg::LoadPicture(const std::string& stored_path) {
    if (stored_path.empty()) return {};
    const auto bytes = fs::ReadFile(stored_path);
    if (!bytes || bytes->empty()) return {};
    QByteArray data(bytes->data(), static_cast<qsizetype>(bytes->size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QPixmap CImagePreviewDlg::DefaultPicture(const QSize& size) {
    QPixmap pixmap(size.expandedTo(QSize(1, 1)));
    pixmap.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(pixmap.rect());
    const qreal s = std::min(r.width(), r.height()) / 3;
    const QPointF c = r.center();
    // A landscape with a sun: "a picture would be here".
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(c.x() - s, c.y() - s * 0.75, 2 * s, 1.5 * s));
    p.setBrush(QColor(0xB0, 0xB0, 0xB0));
    p.setPen(Qt::NoPen);
    const QPointF hills[] = {{c.x() - s, c.y() + s * 0.75},
                             {c.x() - s * 0.3, c.y() - s * 0.1},
                             {c.x() + s * 0.2, c.y() + s * 0.4},
                             {c.x() + s * 0.55, c.y() + s * 0.1},
                             {c.x() + s, c.y() + s * 0.75}};
    p.drawPolygon(hills, 5);
    p.drawEllipse(QPointF(c.x() + s * 0.5, c.y() - s * 0.35), s * 0.15, s * 0.15);
    return pixmap;
}

void CImagePreviewDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    // Decoded anew on every paint, so a picture changed on disk shows as it is now.
    const QImage picture = LoadPicture(path_);
    showed_picture_ = !picture.isNull();
    if (showed_picture_) {
        const int w = frame_.width() > 0 ? frame_.width() : picture.width();
        const int h = frame_.height() > 0 ? frame_.height() : picture.height();
        if (w > 0 && h > 0) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRect(frame_.topLeft(), QSize(w, h)), picture);
        }
    } else {
        const QPixmap def = DefaultPicture(QSize(std::min(frame_.width(), 96), std::min(frame_.height(), 96)));
        painter.drawPixmap(frame_.center() - QPoint(def.width() / 2, def.height() / 2), def);
    }
    painter.setPen(palette().mid().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CImagePreviewDlg::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    const int dw = width() - initial_client_.width();
    const int dh = height() - initial_client_.height();
    frame_ = QRect(initial_frame_.topLeft(),
                   QSize(std::max(initial_frame_.width() + dw, 0), std::max(initial_frame_.height() + dh, 0)));
    close_->move(initial_button_.x() + dw / 2, initial_button_.y() + dh);
    update();
}

void CImagePreviewDlg::keyPressEvent(QKeyEvent* e) {
    // Enter does not close the window.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

Qt::Edges CImagePreviewDlg::EdgesAt(const QPoint& pos) const {
    Qt::Edges edges;
    if (pos.x() < kBorder) edges |= Qt::LeftEdge;
    if (pos.x() >= width() - kBorder) edges |= Qt::RightEdge;
    if (pos.y() < kBorder) edges |= Qt::TopEdge;
    if (pos.y() >= height() - kBorder) edges |= Qt::BottomEdge;
    return edges;
}

void CImagePreviewDlg::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QDialog::mousePressEvent(e);
    const Qt::Edges edges = EdgesAt(e->position().toPoint());
    QWindow* handle = window()->windowHandle();
    // The border sizes the window; every other point moves it, as a caption would.
    if (handle && (edges ? handle->startSystemResize(edges) : handle->startSystemMove())) return;
    if (!edges) {
        dragging_ = true;
        drag_offset_ = e->globalPosition().toPoint() - pos();
    }
}

void CImagePreviewDlg::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_) move(e->globalPosition().toPoint() - drag_offset_);
    else setCursor(EdgesAt(e->position().toPoint()) ? Qt::SizeAllCursor : Qt::ArrowCursor);
}

void CImagePreviewDlg::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

}  // namespace sorvanto
