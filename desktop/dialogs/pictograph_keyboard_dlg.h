#pragma once

#include <string>

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QPointer>

#include "pictograph/pictograph_grid.h"

namespace sorvanto {

class ColourButton;

// "絵文字キーボード": a small window of i-mode pictographs, one cell of 19 x 19 pixels each, that
// sends the chosen pictograph's code (copy-data kind 5: lead byte, trail byte, zero) to the
// window the user was working in, normally the mail composer. It does not take the activation
// when it opens, and it remembers the last active top-level window that is not itself: that
// window is "the window beneath it" that receives the codes.
class CPictographKeyboardDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTablePath = ".\\imoji.ini";
    static constexpr int kPictographKind = 5;

    // The main frame's command: when slot is empty, creates the keyboard as a top-level window
    // without owner from the table at table_path, stores it in slot and shows it beside frame
    // (frame may be null). When slot already holds a keyboard nothing happens. The keyboard
    // deletes itself when closed, which clears the slot; the frame deletes a keyboard still in
    // its slot when it is destroyed itself. Returns the keyboard in the slot.
    static CPictographKeyboardDlg* Open(QWidget* frame, QPointer<CPictographKeyboardDlg>& slot,
                                        const std::string& table_path = kTablePath);

    explicit CPictographKeyboardDlg(const std::string& table_path, QWidget* parent = nullptr);

    // The face the pictographs are drawn with: the colour emoji font first.
    static QFont GridFont();

    const PictographGrid& Grid() const { return grid_; }
    // The off-screen picture of the grid, as it is copied to the screen.
    const QImage& GridImage() const { return image_; }
    // Where the grid sits in the window: window clicks reach it 12 pixels in.
    QRect GridRect() const;
    ColourButton* OutputButton() const { return output_; }
    // The window the codes go to; null when no other window has been active.
    QWidget* Target() const { return target_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TrackTarget(QWidget* window);
    void DrawGrid();
    void OnOutput();
    // Sends the output bytes to the target and activates it when it accepts them.
    void SendToTarget(const std::string& output);

    PictographGrid grid_;
    QImage image_;
    QWidget* view_ = nullptr;
    ColourButton* output_ = nullptr;
    QPointer<QWidget> target_;
};

}  // namespace sorvanto
