#include "dialogs/melody_player_dlg.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include "app/copy_data_event.h"
#include "common/window_requests.h"
#include "controls/sjis_text.h"

namespace sorvanto {

namespace {

QPushButton* IconButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& text) {
    auto* b = new QPushButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(text);
    b->setAccessibleName(text);
    b->setAutoDefault(false);
    b->setFixedSize(28, 24);
    return b;
}

QLineEdit* ReadOnlyEdit(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, Qt::white);
    e->setPalette(p);
    return e;
}
}  // namespace

CMelodyPlayerDlg::CMelodyPlayerDlg(std::string index_path, QWidget* parent, MldPlayer::Options options)
    // A tool window of the main window: a click on the list beneath must not bury it.
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint),
      up_(IconButton(this, QStyle::SP_ArrowUp, QStringLiteral("Up"))),
      down_(IconButton(this, QStyle::SP_ArrowDown, QStringLiteral("Down"))),
      volume_edit_(ReadOnlyEdit(this)),
      title_(ReadOnlyEdit(this)),
      stop_(IconButton(this, QStyle::SP_MediaStop, QStringLiteral("停止"))),
      play_(IconButton(this, QStyle::SP_MediaPlay, QStringLiteral("再生"))),
      state_(std::make_unique<MelodyPlayerState>(std::move(index_path), std::move(options))),
      timer_(new QTimer(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("MelodyPlayer"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setAutoDefault(false);
    volume_edit_->setFixedWidth(40);
    volume_edit_->setAlignment(Qt::AlignRight);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(4);
    grid->addWidget(title_, 0, 0, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("音量"), this), 1, 0);
    grid->addWidget(volume_edit_, 1, 1);
    grid->addWidget(up_, 1, 2);
    grid->addWidget(down_, 1, 3);
    grid->addWidget(play_, 1, 4);
    grid->addWidget(stop_, 1, 5);
    grid->addWidget(close, 2, 0, 1, 6, Qt::AlignRight);
    ShowButtons();
    setStyleSheet(QStringLiteral("CMelodyPlayerDlg { border: 1px solid palette(mid); }"));
    connect(play_, &QPushButton::clicked, this, [this] { Play(); });
    connect(stop_, &QPushButton::clicked, this, [this] { Stop(); });
    connect(up_, &QPushButton::clicked, this, [this] { VolumeUp(); });
    connect(down_, &QPushButton::clicked, this, [this] { VolumeDown(); });
    connect(close, &QPushButton::clicked, this, [this] { this->close(); });
    connect(timer_, &QTimer::timeout, this, [this] { CheckFinished(); });
    timer_->start(kEndTestMs);
    ShowVolume();
    resize(240, 96);
}

CMelodyPlayerDlg::~CMelodyPlayerDlg() {
    timer_->stop();
    state_.reset();  // stops the player and keeps the volume
}

void CMelodyPlayerDlg::Play() {
    if (!state_->Play()) return;
    ShowButtons();
    title_->setText(sjis_text::ToQString(state_->Title()));
    title_->setCursorPosition(0);
    if (log_ && !state_->PlayError().empty()) log_(state_->PlayErrorLogLine());
}

void CMelodyPlayerDlg::Stop() {
    state_->Stop();
    ShowButtons();
}

void CMelodyPlayerDlg::CheckFinished() {
    if (state_->CheckFinished()) ShowButtons();
}

void CMelodyPlayerDlg::VolumeUp() {
    if (state_->VolumeUp()) ShowVolume();
}

void CMelodyPlayerDlg::VolumeDown() {
    if (state_->VolumeDown()) ShowVolume();
}

void CMelodyPlayerDlg::ShowVolume() { volume_edit_->setText(QString::number(state_->Volume())); }

void CMelodyPlayerDlg::ShowButtons() {
    play_->setEnabled(state_->PlayEnabled());
    stop_->setEnabled(state_->StopEnabled());
}

bool CMelodyPlayerDlg::event(QEvent* e) {
    if (e->type() == CopyDataEvent::EventType()) {
        auto* request = static_cast<CopyDataEvent*>(e);
        if (request->Kind() != static_cast<int>(RequestKind::PlayMelody) || !state_->TakeMelody(request->Bytes())) {
            request->SetResult(0);
            return true;
        }
        Play();
        request->SetResult(1);
        return true;
    }
    return QDialog::event(e);
}

void CMelodyPlayerDlg::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void CMelodyPlayerDlg::mousePressEvent(QMouseEvent* e) {
    // No caption: the whole window is the handle to drag it by.
    if (e->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
}

}  // namespace sorvanto
