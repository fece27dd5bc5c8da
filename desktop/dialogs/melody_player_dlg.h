#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "melody/mld_player.h"

class QLineEdit;
class QPushButton;
class QTimer;

namespace sorvanto {

// The modeless melody player: the title of the melody playing, the volume with Up and Down
// (kept as "Volum" in section "MelodyPrev" of the melody index file), play and stop, and a
// 1000 ms test that switches the buttons back when the melody has ended. The melody list
// sends it each melody to play (kind-7 requests).
class CMelodyPlayerDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxVolume = 127;
    static constexpr int kEndTestMs = 1000;

    // index_path: where the volume is kept (none when empty). options: the player's output
    // (tests give a recorder).
    explicit CMelodyPlayerDlg(std::string index_path, QWidget* parent = nullptr, MldPlayer::Options options = {});
    ~CMelodyPlayerDlg() override;

    int Volume() const { return volume_; }
    const std::string& MelodyPath() const { return melody_path_; }
    MldPlayer& Player() { return *player_; }

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

    QPushButton* up_;
    QPushButton* down_;
    QLineEdit* volume_edit_;
    QLineEdit* title_;
    QPushButton* stop_;
    QPushButton* play_;
    std::unique_ptr<MldPlayer> player_;
    std::string index_path_;
    std::string melody_path_;
    int volume_ = kMaxVolume;
    QTimer* timer_;
};

}  // namespace sorvanto
