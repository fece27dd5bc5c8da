#pragma once

#include <QDialog>
#include <QRect>
#include <string>

class QPushButton;

namespace sorvanto {

// A small frameless window that shows one stored picture stretched to its frame. The picture
// list feeds it paths (kind-6 requests); the file is read and decoded on every paint. Dragging
// anywhere moves it, its borders size it, and the close button stays centred under the picture.
class CImagePreviewDlg : public QDialog {
    Q_OBJECT
public:
    explicit CImagePreviewDlg(QWidget* parent = nullptr);

    const std::string& PicturePath() const { return path_; }
    // The area the picture is drawn into, and the close button.
    QRect FrameRect() const { return frame_; }
    QPushButton* CloseButton() const { return close_; }
    // Whether the last paint drew the picture (false: the default picture was shown).
    bool ShowedPicture() const { return showed_picture_; }

    // Decodes a stored picture file (BMP, JPEG, GIF); a null image when it cannot.
    static QImage LoadPicture(const std::string& stored_path);
    // The picture shown when there is none.
    static QPixmap DefaultPicture(const QSize& size);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Qt::Edges EdgesAt(const QPoint& pos) const;

    QPushButton* close_;
    std::string path_;
    QSize initial_client_;
    QRect initial_frame_;
    QRect initial_button_;
    QRect frame_;
    bool showed_picture_ = false;
    // A drag without the window system's help (platforms that refuse system moves).
    QPoint drag_offset_;
    bool dragging_ = false;
};

}  // namespace sorvanto
