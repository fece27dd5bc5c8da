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
#include "platform/ini_file.h"

namespace sorvanto {

namespace {
constexpr const char* kSection = "MelodyPrev";
constexpr const char* kVolumeKey = "Volum";

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
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint),
      up_(IconButton(this, QStyle::SP_ArrowUp, QStringLiteral("Up"))),
      down_(IconButton(this, QStyle::SP_ArrowDown, QStringLiteral("Down"))),
      volume_edit_(ReadOnlyEdit(this)),
      title_(ReadOnlyEdit(this)),
      stop_(IconButton(this, QStyle::SP_MediaStop, QStringLiteral("停止"))),
      play_(IconButton(this, QStyle::SP_MediaPlay, QStringLiteral("再生"))),
      player_(std::make_unique<MldPlayer>(std::move(options))),
      index_path_(std::move(index_path)),
      timer_(new QTimer(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("MelodyPlayer"));
    if (!index_path_.empty()) {
        const IniFile ini(index_path_);
        // A hand-edited value outside the player's range would be sent as it is otherwise.
        volume_ = std::clamp(ini.GetInt(kSection, kVolumeKey, kMaxVolume), 0, kMaxVolume);
        player_->SetMasterVolume(volume_);
    }
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
    stop_->setEnabled(false);
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
    player_->Stop();
    player_.reset();
    if (!index_path_.empty()) {
        // Read anew so that the melody store's items, written since we opened, stay as they are.
        IniFile ini(index_path_);
        ini.SetInt(kSection, kVolumeKey, volume_);
        ini.Save();
    }
}

void CMelodyPlayerDlg::Play() {
    if (melody_path_.empty()) return;
    // A running melody is stopped first: the player would otherwise go on with the old one
    // and never start the new.
    player_->Stop();
    player_->Load(melody_path_);
    player_->Play();
    play_->setEnabled(false);
    stop_->setEnabled(true);
    title_->setText(sjis_text::ToQString(player_->Melody().ChunkText(MldChunkId::kTitle)));
    title_->setCursorPosition(0);
}

void CMelodyPlayerDlg::Stop() {
    player_->Stop();
    play_->setEnabled(true);
    stop_->setEnabled(false);
}

void CMelodyPlayerDlg::CheckFinished() {
    if (player_->Finished()) Stop();
}

void CMelodyPlayerDlg::VolumeUp() {
    if (volume_ >= kMaxVolume) return;
    ++volume_;
    ShowVolume();
    player_->SetMasterVolume(volume_);
}

void CMelodyPlayerDlg::VolumeDown() {
    if (volume_ <= 0) return;
    --volume_;
    ShowVolume();
    player_->SetMasterVolume(volume_);
}

void CMelodyPlayerDlg::ShowVolume() { volume_edit_->setText(QString::number(volume_)); }

bool CMelodyPlayerDlg::event(QEvent* e) {
    if (e->type() == CopyDataEvent::EventType()) {
        auto* request = static_cast<CopyDataEvent*>(e);
        const std::string& bytes = request->Bytes();
        if (request->Kind() != static_cast<int>(RequestKind::PlayMelody) || bytes.empty()) {
            request->SetResult(0);
            return true;
        }
        melody_path_ = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
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
