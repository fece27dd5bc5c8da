#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "editing/melody_player_state.h"

class QLineEdit;
class QPushButton;
class QTimer;

namespace sorvanto {

// The modeless melody player: the title of the melody playing, the volume with Up and Down,
// play and stop, and a 1000 ms end test; what they do is MelodyPlayerState's. The melody list
// sends it each melody to play (kind-7 requests). It stays in front of the main window, whose
// tool window it is.
class CMelodyPlayerDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxVolume = MelodyPlayerState::kMaxVolume;
    static constexpr int kEndTestMs = MelodyPlayerState::kEndTestMs;
    // Takes a Shift_JIS log line.
    using LogFn = std::function<void(const std::string&)>;

    // index_path: where the volume is kept (none when empty). options: the player's output
    // (tests give a recorder).
    explicit CMelodyPlayerDlg(std::string index_path, QWidget* parent = nullptr, MldPlayer::Options options = {});
    ~CMelodyPlayerDlg() override;

    int Volume() const { return state_->Volume(); }
    const std::string& MelodyPath() const { return state_->MelodyPath(); }
    MldPlayer& Player() { return state_->Player(); }
    // Where the reason goes when a melody cannot sound (the main window's log).
    void SetLogFn(LogFn fn) { log_ = std::move(fn); }

    void Play();
    void Stop();
    void VolumeUp();
    void VolumeDown();
    // The end test of the timer.
    void CheckFinished();

    QPushButton* PlayButton() const { return play_; }
    QPushButton* StopButton() const { return stop_; }
    QLineEdit* TitleEdit() const { return title_; }
    QLineEdit* VolumeEdit() const { return volume_edit_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ShowVolume();
    void ShowButtons();

    QPushButton* up_;
    QPushButton* down_;
    QLineEdit* volume_edit_;
    QLineEdit* title_;
    QPushButton* stop_;
    QPushButton* play_;
    std::unique_ptr<MelodyPlayerState> state_;
    LogFn log_;
    QTimer* timer_;
};

}  // namespace sorvanto
