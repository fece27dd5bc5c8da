#include "app/app_icons.h"

#include <QPainter>
#include <QPainterPath>

#include "app/command_ids.h"

namespace sorvanto {

namespace {

QPixmap Canvas(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

// The handset: a dark body, a light screen and an infrared window on top.
void DrawHandset(QPainter& p, QRectF r) {
    p.setPen(QPen(QColor(0x20, 0x20, 0x40), r.width() / 16));
    p.setBrush(QColor(0x33, 0x55, 0x88));
    p.drawRoundedRect(r, r.width() / 5, r.width() / 5);
    p.setBrush(QColor(0xCC, 0xEE, 0xFF));
    p.drawRect(QRectF(r.left() + r.width() * 0.18, r.top() + r.height() * 0.15, r.width() * 0.64,
                      r.height() * 0.38));
    p.setBrush(QColor(0xCC, 0x22, 0x22));
    p.drawRect(QRectF(r.left() + r.width() * 0.35, r.top() + r.height() * 0.03, r.width() * 0.3,
                      r.height() * 0.07));
}

QPixmap CommandPixmap(int id) {
    QPixmap pm = Canvas(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x20, 0x20, 0x50);
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (id) {
    case cmd::kSend: {  // an arrow towards the handset
        p.setBrush(QColor(0x30, 0xA0, 0x30));
        QPolygonF arrow({{4, 12}, {18, 12}, {18, 5}, {29, 16}, {18, 27}, {18, 20}, {4, 20}});
        p.drawPolygon(arrow);
        break;
    }
    case cmd::kDelete:
        p.setPen(QPen(QColor(0xC0, 0x20, 0x20), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(7, 7, 25, 25);
        p.drawLine(25, 7, 7, 25);
        break;
    case cmd::kNew:
        p.setBrush(Qt::white);
        p.drawRect(7, 4, 18, 24);
        p.setPen(QPen(QColor(0x30, 0x80, 0x30), 4));
        p.drawLine(16, 10, 16, 22);
        p.drawLine(10, 16, 22, 16);
        break;
    case cmd::kEdit:
    case cmd::kView:
        p.setBrush(QColor(0xF0, 0xC0, 0x40));
        p.drawPolygon(QPolygonF({{6, 26}, {8, 19}, {22, 5}, {27, 10}, {13, 24}}));
        break;
    case cmd::kSave:
        p.setBrush(QColor(0x40, 0x60, 0xB0));
        p.drawRect(5, 5, 22, 22);
        p.setBrush(Qt::white);
        p.drawRect(10, 5, 12, 8);
        break;
    case cmd::kAbout:
    case cmd::kHelp: {
        p.setBrush(QColor(0x30, 0x60, 0xC0));
        p.drawEllipse(3, 3, 26, 26);
        QFont f = p.font();
        f.setPixelSize(20);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(3, 3, 26, 26), Qt::AlignCenter, id == cmd::kAbout ? QStringLiteral("i") : QStringLiteral("?"));
        break;
    }
    case cmd::kPlay:
        p.setBrush(QColor(0x30, 0xA0, 0x30));
        p.drawPolygon(QPolygonF({{9, 5}, {27, 16}, {9, 27}}));
        break;
    case cmd::kPreview:
        p.setBrush(QColor(0x90, 0xC8, 0xF0));
        p.drawRect(4, 6, 24, 20);
        p.setBrush(QColor(0x30, 0x90, 0x30));
        p.drawPolygon(QPolygonF({{6, 24}, {14, 14}, {20, 20}, {26, 24}}));
        break;
    case cmd::kPictograph:
        p.setBrush(QColor(0xFF, 0xD0, 0x30));
        p.drawEllipse(3, 3, 26, 26);
        p.drawArc(QRectF(9, 10, 14, 12), 200 * 16, 140 * 16);
        p.drawPoint(12, 12);
        p.drawPoint(20, 12);
        break;
    case cmd::kConfig:
        p.setBrush(QColor(0x90, 0x90, 0x90));
        p.drawEllipse(5, 5, 22, 22);
        p.setBrush(Qt::white);
        p.drawEllipse(12, 12, 8, 8);
        break;
    default:
        return QPixmap();
    }
    return pm;
}

// A closed envelope filling a 12 x 12 picture, or an opened one with its flap up.
void DrawEnvelope(QPainter& p, const QColor& paper, bool opened) {
    p.setPen(QPen(QColor(0x40, 0x40, 0x60), 1));
    p.setBrush(paper);
    if (opened) {
        p.drawPolygon(QPolygonF({{0.5, 5.5}, {5.5, 1.5}, {10.5, 5.5}}));
        p.drawRect(QRectF(0.5, 5.5, 10, 5));
        p.drawLine(QPointF(0.5, 5.5), QPointF(5.5, 8.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 8.5));
    } else {
        p.drawRect(QRectF(0.5, 2.5, 10, 7));
        p.drawPolyline(QPolygonF({{0.5, 2.5}, {5.5, 6.5}, {10.5, 2.5}}));
    }
}

}  // namespace

std::vector<QPixmap> AppIcons::SmallImages() {
    std::vector<QPixmap> images;
    for (int i = 0; i < 5; ++i) {
        QPixmap pm = Canvas(12);
        QPainter p(&pm);
        switch (i) {
        case 0:
            p.setPen(QColor(0x40, 0x40, 0x60));
            p.setBrush(Qt::white);
            p.drawRect(2, 0, 7, 11);
            break;
        case 1:  // sent: a green mark on the envelope
            DrawEnvelope(p, QColor(0xF4, 0xF4, 0xF4), false);
            p.setPen(QPen(QColor(0x20, 0x90, 0x20), 2));
            p.drawPolyline(QPolygonF({{5, 8}, {7, 10}, {11, 5}}));
            break;
        case 2:  // not sent yet: an orange envelope
            DrawEnvelope(p, QColor(0xFF, 0xC8, 0x70), false);
            break;
        case 3:  // read: opened
            DrawEnvelope(p, QColor(0xF4, 0xF4, 0xF4), true);
            break;
        default:  // new: closed and yellow with a red dot
            DrawEnvelope(p, QColor(0xFF, 0xF0, 0x80), false);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xD0, 0x20, 0x20));
            p.drawEllipse(QRectF(7.5, 0, 4.5, 4.5));
            break;
        }
        p.end();
        images.push_back(pm);
    }
    return images;
}

QIcon AppIcons::Program() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pm = Canvas(size);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8C, 0x8C, 0xFF));
        p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        DrawHandset(p, QRectF(size * 0.3, size * 0.12, size * 0.4, size * 0.76));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon AppIcons::Command(int id) {
    QPixmap pm = CommandPixmap(id);
    return pm.isNull() ? QIcon() : QIcon(pm);
}

QPixmap AppIcons::BusyPc() {
    QPixmap pm = Canvas(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    p.setBrush(QColor(0xDD, 0xDD, 0xDD));
    p.drawRect(3, 4, 26, 18);
    p.setBrush(QColor(0x30, 0x50, 0x90));
    p.drawRect(6, 7, 20, 12);
    p.setBrush(QColor(0xAA, 0xAA, 0xAA));
    p.drawRect(9, 24, 14, 4);
    return pm;
}

QPixmap AppIcons::BusyHandset() {
    QPixmap pm = Canvas(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    DrawHandset(p, QRectF(9, 2, 14, 28));
    return pm;
}

QPixmap AppIcons::BusyBeam() {
    QPixmap pm = Canvas(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xD0, 0x20, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) p.drawArc(QRectF(4 + i * 6, 6, 12, 20), -50 * 16, 100 * 16);
    return pm;
}

}  // namespace sorvanto
