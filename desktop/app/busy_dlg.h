#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace sorvanto {

// The small window shown while an object is sent: a beam steps from the PC to the handset every
// 500 ms, and "中断" asks the send to stop at its next cycle.
class CBusyDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBusyDlg(QWidget* parent = nullptr);

    bool Aborted() const { return aborted_; }
    // "中断": the send loop sees the flag on its next KeepGoing.
    void Abort();

    // x of the beam in the client area; shared by all send windows, as the animation is one.
    static int BeamX();
    QLabel* Beam() const { return beam_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void reject() override {}  // Escape and the window manager's close do not end a send

private:
    void Step();

    QLabel* pc_;
    QLabel* beam_;
    QLabel* handset_;
    QTimer* timer_;
    bool aborted_ = false;
    QPoint drag_offset_;
};

}  // namespace sorvanto
