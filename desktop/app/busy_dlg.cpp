#include "app/busy_dlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "app/app_icons.h"

namespace sorvanto {

namespace {
int g_beam_offset = 0;
constexpr int kBeamLeft = 25;
constexpr int kBeamTop = 28;
}  // namespace

int CBusyDlg::BeamX() { return kBeamLeft + g_beam_offset; }

CBusyDlg::CBusyDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      pc_(new QLabel(this)), beam_(new QLabel(this)), handset_(new QLabel(this)), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("BusyDlg"));
    setFixedSize(124, 112);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("CBusyDlg { border: 2px outset #a0a0c0; background: #f4f4ff; }"));

    auto* label = new QLabel(QString::fromUtf8("通信中です"), this);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(0, 6, width(), 18);

    pc_->setPixmap(AppIcons::BusyPc());
    pc_->setGeometry(0, kBeamTop, 32, 32);
    handset_->setPixmap(AppIcons::BusyHandset());
    handset_->setGeometry(88, kBeamTop, 32, 32);
    beam_->setPixmap(AppIcons::BusyBeam());
    beam_->setGeometry(BeamX(), kBeamTop, 32, 32);
    beam_->hide();

    auto* cancel = new QPushButton(QString::fromUtf8("中断"), this);
    cancel->setObjectName(QStringLiteral("AbortButton"));
    cancel->setAutoDefault(false);
    cancel->setGeometry(32, 72, 60, 28);
    connect(cancel, &QPushButton::clicked, this, &CBusyDlg::Abort);

    connect(timer_, &QTimer::timeout, this, &CBusyDlg::Step);
    timer_->start(500);
}

void CBusyDlg::Abort() {
    aborted_ = true;
    timer_->stop();
    hide();
}

void CBusyDlg::Step() {
    beam_->show();
    beam_->move(BeamX(), kBeamTop);
    g_beam_offset += 10;
    if (g_beam_offset > 35) g_beam_offset = 0;
    update();
}

void CBusyDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape would end the dialog without telling the send.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Every point of the window drags it, as there is no caption to hold.
void CBusyDlg::mousePressEvent(QMouseEvent* event) {
    drag_offset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void CBusyDlg::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - drag_offset_);
    event->accept();
}

}  // namespace sorvanto
